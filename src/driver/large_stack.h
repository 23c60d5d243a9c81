#pragma once

#include <cstddef>
#include <functional>

namespace tarvel {

// Runs work on a thread with a stack of the given size and waits for it. The
// recursive walks over a BSP-derived tree (conversion, sizing, writing) go as
// deep as the tree, which for a degenerate scene is as deep as it has
// polygons. The calling thread's log context is installed on the worker.
void RunOnLargeStack(const std::function<void()>& work,
                     std::size_t stackBytes = std::size_t{1} << 30);

}  // namespace tarvel
