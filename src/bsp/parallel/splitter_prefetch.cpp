#include "bsp/parallel/splitter_prefetch.h"

#include "bsp/bsp_node_steps.h"
#include "bsp/search/splitter_search.h"
#include "bsp/side_counting.h"
#include "log/log.h"

namespace tarvel {

std::optional<std::size_t> PlanAndSearch(BSPNode& node, SearchCache& cache) {
    ComputePlanes(node.polys.items, &cache);
    return SearchSplitter(node.polys.items, cache, MachineCores());
}

SplitterPrefetch::SplitterPrefetch(SearchCache& cache, ThreadBudget* budget)
    : cache_(cache), budget_(budget), helper_([this] { Run(); }) {}

SplitterPrefetch::~SplitterPrefetch() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    helper_.join();
}

void SplitterPrefetch::Submit(BSPNode& node) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(&node);
        jobs_[&node] = Job{};
        ++submitted_;
    }
    queued_.notify_one();
}

std::optional<std::size_t> SplitterPrefetch::Take(BSPNode& node) {
    std::unique_lock lock(mutex_);
    const auto it = jobs_.find(&node);
    if (it == jobs_.end() || !it->second.started) {
        if (it != jobs_.end()) {
            // Usually the latest queued: search the queue from its end.
            for (auto q = queue_.end(); q != queue_.begin();) {
                if (*--q == &node) {
                    queue_.erase(q);
                    break;
                }
            }
            jobs_.erase(it);
        }
        lock.unlock();
        return PlanAndSearch(node, cache_);
    }
    // Only this thread adds or removes jobs, so the reference stays valid.
    Job& job = it->second;
    finished_.wait(lock, [&] { return job.done; });
    const Job result = std::move(job);
    jobs_.erase(&node);
    lock.unlock();
    for (const std::string& text : result.messageBoxes) {
        ShowMessageBox(text);
    }
    if (result.error) {
        std::rethrow_exception(result.error);
    }
    return result.splitter;
}

void SplitterPrefetch::Run() {
    std::unique_lock lock(mutex_);
    // Whether the helper was refused a thread, and at which submission.
    bool refused = false;
    std::size_t refusedAt = 0;
    while (true) {
        queued_.wait(lock, [&] {
            return stopping_ || (!queue_.empty() && (!refused || refusedAt != submitted_));
        });
        if (stopping_) {
            return;
        }
        // Held while the queue lasts: the build's own shared-out loops get
        // the thread back once the helper has nothing left to search.
        ThreadBudget::Grant thread;
        if (budget_ != nullptr) {
            thread = budget_->TryAcquire(1);
            refused = thread.count() == 0;
            refusedAt = submitted_;
            if (refused) {
                continue;
            }
        }
        Drain(lock);
    }
}

void SplitterPrefetch::Drain(std::unique_lock<std::mutex>& lock) {
    while (!stopping_ && !queue_.empty()) {
        BSPNode* node = queue_.back();
        queue_.pop_back();
        Job& job = jobs_.at(node);
        job.started = true;
        lock.unlock();
        std::optional<std::size_t> splitter;
        std::exception_ptr error;
        // This thread has no log of its own: the message boxes wait for Take.
        RecordingMessageBoxSink boxes;
        LogContext held;
        held.messageBox = &boxes;
        held.budget = budget_;
        try {
            const ScopedLogContext scope(held);
            splitter = PlanAndSearch(*node, cache_);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        // Take erases a job only once it is done, so `job` is still there.
        job.splitter = splitter;
        job.messageBoxes = std::move(boxes.messages);
        job.error = error;
        job.done = true;
        finished_.notify_all();
    }
}

}  // namespace tarvel
