#include "cli/interrupt_stop.h"

#include <csignal>

namespace tarvel::cli {

namespace {

// The one piece of state a signal handler can reach. Lock-free, so storing
// to it is async-signal-safe.
StopFlag gInterrupted{false};
struct sigaction gPrevious {};

extern "C" void OnInterrupt(int /*signal*/) {
    gInterrupted.store(true, std::memory_order_relaxed);
}

}  // namespace

InterruptStop::InterruptStop() {
    gInterrupted.store(false);
    struct sigaction action {};
    action.sa_handler = &OnInterrupt;
    sigemptyset(&action.sa_mask);
    // Slow system calls (the save's writes) go on rather than fail; the
    // handler is taken once, so a second Ctrl+C ends the tool at once.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, &gPrevious);
}

InterruptStop::~InterruptStop() {
    sigaction(SIGINT, &gPrevious, nullptr);
}

const StopFlag& InterruptStop::flag() const {
    return gInterrupted;
}

bool InterruptStop::interrupted() const {
    return gInterrupted.load();
}

}  // namespace tarvel::cli
