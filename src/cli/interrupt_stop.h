#pragma once

// Ctrl+C during a compile (SIGINT; on Windows the console's Ctrl+C,
// Ctrl+Break and close events): the handler does nothing but set one flag,
// which every compile of the invocation carries as its stop flag
// (LogContext::stop). The compiles end at their next check, write nothing
// and leave no temporary file; the tool then exits with 130.

#include "log/stop.h"

namespace tarvel::cli {

// 128 + SIGINT, as a shell reports a program that Ctrl+C ended.
inline constexpr int kExitInterrupted = 130;

// Installs the handler for its lifetime and restores the previous one after.
// A second Ctrl+C, once the first has been taken, ends the tool at once as
// the default action does. One at a time: the handler knows one flag.
class InterruptStop {
  public:
    InterruptStop();
    ~InterruptStop();
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;

    const StopFlag& flag() const;
    bool interrupted() const;
};

}  // namespace tarvel::cli
