#pragma once

// While the build works through one subtree, a second thread searches the
// splitters of the nodes that wait their turn on its stack. Each node's
// splitter depends on its own list alone, so the tree, the counters and the
// log come out as they would without it. With a thread budget the helper
// searches only while it holds one of its threads; without one free it
// leaves the queue to the build, which searches what it takes itself.

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "bsp/bsp_node.h"
#include "bsp/search/search_cache.h"
#include "log/thread_budget.h"

namespace tarvel {

class SplitterPrefetch {
  public:
    // cache: the build's, where every polygon queued has its entry.
    // budget: the process's, borrowed; null: the helper always searches.
    explicit SplitterPrefetch(SearchCache& cache, ThreadBudget* budget = nullptr);
    ~SplitterPrefetch();
    SplitterPrefetch(const SplitterPrefetch&) = delete;
    SplitterPrefetch& operator=(const SplitterPrefetch&) = delete;

    // Queues a node whose list is final and which nothing else touches
    // until Take. The latest queued is searched first: the build reaches the
    // nodes it queued last first.
    void Submit(BSPNode& node);

    // The node's planes computed and its splitter searched: by the helper if
    // it has started on the node (waiting for it to finish), else here. The
    // message boxes the helper's search raised are shown here, on the
    // build's thread, where they would have come without the helper.
    std::optional<std::size_t> Take(BSPNode& node);

    // Only lists this long are worth the hand-over. Smaller ones still pay:
    // in a dense mesh thousands of them wait on the stack, searched one
    // after another by the build while the helper had nothing queued.
    static constexpr std::size_t kMinPolys = 64;
    // Only a tree this large keeps the helper busy enough for its thread.
    static constexpr std::size_t kMinTreePolys = 4096;

  private:
    struct Job {
        bool started = false;
        bool done = false;
        std::optional<std::size_t> splitter;
        std::vector<std::string> messageBoxes;  // shown by Take
        std::exception_ptr error;               // rethrown by Take
    };

    void Run();
    // Searches queued nodes, latest first, until none is left.
    void Drain(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable queued_;    // the helper waits for work
    std::condition_variable finished_;  // Take waits for the helper
    std::vector<BSPNode*> queue_;
    std::unordered_map<BSPNode*, Job> jobs_;
    bool stopping_ = false;
    SearchCache& cache_;
    ThreadBudget* budget_;
    // Counts the submissions: a helper refused a thread tries again at the
    // next one, rather than spinning on a queue it cannot serve.
    std::size_t submitted_ = 0;
    std::thread helper_;
};

// Computes the planes of the node's polygons and searches its splitter.
std::optional<std::size_t> PlanAndSearch(BSPNode& node, SearchCache& cache);

}  // namespace tarvel
