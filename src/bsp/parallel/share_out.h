#pragma once

#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

#include "log/log.h"

namespace tarvel {

// Runs work(begin, step) on up to `workers` threads, this one included, with
// begin = 0 .. workers - 1 and step = workers: each takes every step-th item
// from its own first one. Returns when all are done. Whatever the work
// throws, on any thread, comes out of here once every thread has finished
// (the first one caught); a throw never leaves a thread unjoined. The
// threads beside this one come out of the compile's budget (LogContext::
// budget), as many as are free; without a budget all of them start. The
// work must give the same result however many run.
template <typename Work>
void ShareOut(std::size_t workers, Work&& work) {
    ThreadBudget::Grant extra;
    if (ThreadBudget* budget = CurrentLog().budget; budget != nullptr && workers > 1) {
        extra = budget->TryAcquire(static_cast<unsigned>(workers - 1));
        workers = extra.count() + 1u;
    }
    if (workers <= 1) {
        work(std::size_t{0}, std::size_t{1});
        return;
    }
    std::vector<std::exception_ptr> errors(workers);
    const auto guarded = [&work, &errors, workers](std::size_t t) {
        try {
            work(t, workers);
        } catch (...) {
            errors[t] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> pool;
        pool.reserve(workers - 1);
        for (std::size_t t = 1; t < workers; ++t) {
            pool.emplace_back(guarded, t);
        }
        guarded(0);
    }
    for (const std::exception_ptr& error : errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
}

}  // namespace tarvel
