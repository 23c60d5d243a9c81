#pragma once

#include <cstddef>
#include <thread>
#include <vector>

namespace tarvel {

// Runs work(begin, step) on `workers` threads, this one included, with
// begin = 0 .. workers - 1 and step = workers: each takes every step-th item
// from its own first one. Returns when all are done.
template <typename Work>
void ShareOut(std::size_t workers, Work&& work) {
    if (workers <= 1) {
        work(std::size_t{0}, std::size_t{1});
        return;
    }
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < workers; ++t) {
        pool.emplace_back([&work, t, workers] { work(t, workers); });
    }
    work(std::size_t{0}, workers);
    for (std::thread& thread : pool) {
        thread.join();
    }
}

}  // namespace tarvel
