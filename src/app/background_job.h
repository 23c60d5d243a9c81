#pragma once

// Runs the long work of a click (parse, BSP build, conversion, save) on a
// worker thread while the user-interface thread keeps painting. The worker
// gets a stack sized for the recursive walks over a degenerate tree, and the
// window's log context, so memo, log file, console and counters reach the
// window's sinks.

#include <functional>
#include <optional>
#include <string>

#include "log/log.h"

namespace tarvel::app {

// About 30 refreshes a second.
inline constexpr int kRefreshIntervalMs = 33;

// Returns once work has finished; onTick runs on the calling thread every
// kRefreshIntervalMs meanwhile. The text of an exception that escaped work,
// if any, is the result.
std::optional<std::string> RunInBackground(LogContext& context, const std::function<void()>& work,
                                           const std::function<void()>& onTick);

}  // namespace tarvel::app
