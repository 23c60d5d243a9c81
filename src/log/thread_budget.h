#pragma once

// The threads one process lets its compiles keep busy. The front end owns one
// budget, sized to the cores, and lends it to every compile's LogContext
// (LogContext::budget): the thread that runs a compile holds one of its
// threads, and whatever a compile starts beside it (the helper that builds
// waiting subtrees, the workers of a shared-out loop) first asks for more
// and runs with what it got, if need be with none. Nothing here is global:
// a library caller that lends no budget gets as many threads as it asks for.

#include <atomic>

namespace tarvel {

// The cores of this machine: what a front end sizes its budget to, and the
// threads a node's counting may use.
unsigned MachineCores();

class ThreadBudget {
  public:
    // Threads granted together, handed back when this goes.
    class Grant {
      public:
        Grant() = default;
        ~Grant() { Release(); }
        Grant(Grant&& other) noexcept;
        Grant& operator=(Grant&& other) noexcept;
        Grant(const Grant&) = delete;
        Grant& operator=(const Grant&) = delete;

        unsigned count() const { return count_; }

      private:
        friend class ThreadBudget;
        Grant(ThreadBudget* budget, unsigned count) : budget_(budget), count_(count) {}
        void Release();

        ThreadBudget* budget_ = nullptr;
        unsigned count_ = 0;
    };

    // threads: how many may be busy at once (at least one).
    explicit ThreadBudget(unsigned threads);
    ThreadBudget(const ThreadBudget&) = delete;
    ThreadBudget& operator=(const ThreadBudget&) = delete;

    unsigned threads() const { return threads_; }

    // Up to `wanted` threads, as many as are free now: never waits.
    Grant TryAcquire(unsigned wanted);
    // One thread, waiting until one is free.
    Grant Acquire();

  private:
    const unsigned threads_;
    std::atomic<unsigned> free_;
};

}  // namespace tarvel
