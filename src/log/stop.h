#pragma once

// Stopping one compile. Whoever runs a compile (the window's Stop button,
// the headless tool's SIGINT handler) owns a StopFlag and lends it to the
// compile's LogContext; the parser, the BSP build and the conversion look at
// it as they go (ThrowIfStopped in log.h) and the driver turns the
// CompileStopped that comes out into ConvertStatus::Stopped. Nothing here is
// global: two compiles side by side stop each on its own flag.

#include <atomic>
#include <exception>

namespace tarvel {

// Set once to ask for the stop; never cleared while the compile runs.
// Lock-free, so a signal handler may store to it.
using StopFlag = std::atomic<bool>;
static_assert(StopFlag::is_always_lock_free);

// Thrown by ThrowIfStopped once the compile's flag is set. The driver and
// the import catch it; nothing of the stopped compile is written.
class CompileStopped : public std::exception {
  public:
    const char* what() const noexcept override { return "the compile was stopped"; }
};

// The memo line of a stopped pick or compile.
inline constexpr const char* kStoppedLine = "Stopped: nothing was saved.";

}  // namespace tarvel
