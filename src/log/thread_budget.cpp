#include "log/thread_budget.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace tarvel {

unsigned MachineCores() {
    // Asked once: the answer comes from reading system files, and small
    // nodes are counted by the thousand.
    static const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return cores;
}

ThreadBudget::Grant::Grant(Grant&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), count_(std::exchange(other.count_, 0)) {}

ThreadBudget::Grant& ThreadBudget::Grant::operator=(Grant&& other) noexcept {
    if (this != &other) {
        Release();
        budget_ = std::exchange(other.budget_, nullptr);
        count_ = std::exchange(other.count_, 0);
    }
    return *this;
}

void ThreadBudget::Grant::Release() {
    if (budget_ != nullptr && count_ > 0) {
        budget_->free_.fetch_add(count_, std::memory_order_release);
        // Only Acquire waits, and rarely: the wake is cheap when nobody does.
        budget_->free_.notify_all();
    }
    budget_ = nullptr;
    count_ = 0;
}

ThreadBudget::ThreadBudget(unsigned threads) : threads_(std::max(1u, threads)), free_(threads_) {}

ThreadBudget::Grant ThreadBudget::TryAcquire(unsigned wanted) {
    unsigned free = free_.load(std::memory_order_relaxed);
    unsigned granted = 0;
    do {
        granted = std::min(free, wanted);
        if (granted == 0) {
            return Grant{};
        }
    } while (!free_.compare_exchange_weak(free, free - granted, std::memory_order_acquire,
                                          std::memory_order_relaxed));
    return Grant{this, granted};
}

ThreadBudget::Grant ThreadBudget::Acquire() {
    while (true) {
        Grant grant = TryAcquire(1);
        if (grant.count() == 1) {
            return grant;
        }
        free_.wait(0, std::memory_order_relaxed);
    }
}

}  // namespace tarvel
