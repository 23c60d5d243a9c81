#include "cli/interrupt_stop.h"

#include <windows.h>

namespace tarvel::cli {

namespace {

// The handler runs on a thread the system starts for each event.
StopFlag gInterrupted{false};
// Set once the compile has stopped and cleaned up, for the close event.
HANDLE gFinished = nullptr;

// Closing the console ends the process as soon as the handler returns (and
// after a few seconds regardless), so that handler waits for the compile to
// remove its temporary file first; a little inside the system's grace.
constexpr DWORD kCloseWaitMs = 4000;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    if (gInterrupted.exchange(true)) {
        // Taken once already: the system's own handler ends the tool at once.
        return FALSE;
    }
    if (event == CTRL_CLOSE_EVENT && gFinished != nullptr) {
        ::WaitForSingleObject(gFinished, kCloseWaitMs);
    }
    return TRUE;
}

}  // namespace

InterruptStop::InterruptStop() {
    gInterrupted.store(false);
    gFinished = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
}

InterruptStop::~InterruptStop() {
    if (gFinished != nullptr) {
        ::SetEvent(gFinished);
    }
    ::SetConsoleCtrlHandler(&OnConsoleEvent, FALSE);
    if (gFinished != nullptr) {
        ::CloseHandle(gFinished);
        gFinished = nullptr;
    }
}

const StopFlag& InterruptStop::flag() const {
    return gInterrupted;
}

bool InterruptStop::interrupted() const {
    return gInterrupted.load();
}

}  // namespace tarvel::cli
