#include "win/console_output.h"

#include <windows.h>

#include <cstdio>

#include "platform/program_arguments.h"

namespace tarvel::win {

namespace {

bool HasStandardOutput() {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    return out != nullptr && out != INVALID_HANDLE_VALUE && ::_fileno(stdout) >= 0;
}

}  // namespace

void ConnectStandardOutput() {
    // A redirected output (a pipe, a file) is kept: a script reads it there.
    if (!HasStandardOutput()) {
        if (::AttachConsole(ATTACH_PARENT_PROCESS) == 0) {
            return;
        }
        std::FILE* reopened = nullptr;
        if (::_wfreopen_s(&reopened, L"CONOUT$", L"w", stdout) != 0) {
            return;
        }
    }
    PrepareConsole();
}

}  // namespace tarvel::win
