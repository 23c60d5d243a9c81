#include "log/thread_budget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>
#include <utility>

namespace tarvel {
namespace {

TEST(ThreadBudget, a_thread_comes_back_once_from_whichever_grant_holds_it) {
    ThreadBudget budget(3);
    ThreadBudget::Grant first = budget.TryAcquire(2);
    EXPECT_EQ(first.count(), 2u);
    EXPECT_EQ(budget.TryAcquire(5).count(), 1u);  // handed back at once
    {
        ThreadBudget::Grant moved = std::move(first);
        ThreadBudget::Grant assigned;
        assigned = std::move(moved);
        EXPECT_EQ(budget.TryAcquire(1).count(), 1u);
    }
    // Back once, not once per grant it passed through.
    EXPECT_EQ(budget.TryAcquire(5).count(), 3u);
}

TEST(ThreadBudget, acquire_waits_for_a_thread_to_come_back) {
    ThreadBudget budget(1);
    std::optional<ThreadBudget::Grant> held = budget.Acquire();
    std::atomic<bool> got{false};
    std::jthread waiter([&] {
        const ThreadBudget::Grant grant = budget.Acquire();
        got = true;
    });
    EXPECT_FALSE(got.load());
    held.reset();
    waiter.join();
    EXPECT_TRUE(got.load());
    EXPECT_EQ(budget.TryAcquire(1).count(), 1u);
}

}  // namespace
}  // namespace tarvel
