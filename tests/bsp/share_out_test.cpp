#include "bsp/parallel/share_out.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <stdexcept>

namespace tarvel {
namespace {

TEST(ShareOut, a_throw_on_any_thread_comes_out_once_all_have_finished) {
    constexpr std::size_t kWorkers = 4;
    for (std::size_t thrower = 0; thrower < kWorkers; ++thrower) {
        SCOPED_TRACE(thrower);
        std::atomic<std::size_t> finished{0};
        const auto work = [&](std::size_t begin, std::size_t) {
            if (begin == thrower) {
                throw std::runtime_error("helper failed");
            }
            finished.fetch_add(1);
        };
        EXPECT_THROW(ShareOut(kWorkers, work), std::runtime_error);
        EXPECT_EQ(finished.load(), kWorkers - 1);
    }
}

TEST(ShareOut, runs_beside_this_thread_only_what_the_budget_has_free) {
    struct Case {
        unsigned threads;  // in the budget
        unsigned held;     // elsewhere, this thread's own included
        std::size_t wanted;
        std::size_t runs;
    };
    for (const Case& c : {Case{4, 1, 4, 4}, Case{4, 3, 4, 2}, Case{2, 2, 4, 1}, Case{4, 1, 2, 2}}) {
        SCOPED_TRACE(::testing::Message() << c.threads << " " << c.held << " " << c.wanted);
        ThreadBudget budget(c.threads);
        const ThreadBudget::Grant held = budget.TryAcquire(c.held);
        LogContext context;
        context.budget = &budget;
        const ScopedLogContext scope(context);
        std::atomic<std::size_t> started{0};
        std::atomic<std::size_t> step{0};
        ShareOut(c.wanted, [&](std::size_t, std::size_t s) {
            started.fetch_add(1);
            step = s;
        });
        EXPECT_EQ(started.load(), c.runs);
        EXPECT_EQ(step.load(), c.runs);
        // The helpers' threads are back.
        EXPECT_EQ(budget.TryAcquire(c.threads).count(), c.threads - c.held);
    }
}

}  // namespace
}  // namespace tarvel
