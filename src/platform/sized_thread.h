#pragma once

// A thread with a stack of a chosen size, which std::thread cannot give.

#include <cstddef>

namespace tarvel {

// Runs body(arg) on a new thread whose stack holds stackBytes and waits for
// it to end. False, with body not run, when no such thread can be had.
bool RunOnThreadWithStack(void (*body)(void*), void* arg, std::size_t stackBytes);

}  // namespace tarvel
