#pragma once

#include <algorithm>
#include <thread>
#include <vector>

namespace tarvel::render {

// How many threads a frame uses: the request, or every core when 0.
inline int ThreadCount(int requested) {
    if (requested > 0) {
        return std::min(requested, 64);
    }
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 64);
}

// Runs work(index) for index 0..count-1, the first on the calling thread,
// and returns when all are done.
template <typename Work>
void RunOnThreads(int count, const Work& work) {
    std::vector<std::jthread> helpers;
    helpers.reserve(static_cast<std::size_t>(std::max(count - 1, 0)));
    for (int i = 1; i < count; ++i) {
        helpers.emplace_back([&work, i] { work(i); });
    }
    work(0);
}

// Splits 0..n into count nearly equal parts.
inline std::size_t PartBegin(std::size_t n, int index, int count) {
    return n * static_cast<std::size_t>(index) / static_cast<std::size_t>(count);
}

}  // namespace tarvel::render
