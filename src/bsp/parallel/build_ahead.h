#pragma once

// Two threads share one build: the build's own and a helper. Each node whose
// children are built queues its inback child while it builds the infront
// one; the other thread may take the oldest of those queued nodes, the one
// its owner would reach last, and build that subtree ahead. A subtree
// depends on its own list alone, so it is built as the owner would build
// it, under a log of its own that records what the owner would have said
// meanwhile: the memo lines and message boxes, the counters, what the
// recursion guard flattened and the nodes it made final. Once the owner
// reaches the subtree it says all of that in the same order, so the tree,
// the counters and the log come out as they would from one thread. An owner
// that reaches a subtree still being built takes, meanwhile, queued nodes of
// that very subtree, so neither thread waits while the other has work
// queued. With a thread budget the helper works only while it holds one of
// its threads.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "bsp/bsp_builder.h"
#include "bsp/bsp_node.h"
#include "bsp/flat_lists.h"
#include "bsp/search/search_cache.h"
#include "log/counters.h"
#include "log/stop.h"
#include "log/thread_budget.h"

namespace tarvel {

// What a subtree built ahead leaves for its owner to say when it gets there.
struct BuiltAhead {
    struct Line {
        bool messageBox = false;  // else a memo line
        std::string text;
    };
    std::vector<Line> lines;
    // The counters the subtree's build moved, from zero: depths count from
    // the subtree's parent.
    Counters counters;
    // Depths count from the subtree's parent too.
    FlatLists flats;
    // Made final in this order: the owner publishes them when it gets there.
    std::vector<BSPNode*> finished;
};

class BuildAhead {
    struct Job;

  public:
    // The nodes one subtree's build queued, oldest first.
    class Queue {
      public:
        ~Queue();
        Queue(const Queue&) = delete;
        Queue& operator=(const Queue&) = delete;

        // Queues a node, sorted by its parent and not entered, which nothing
        // else touches until Take, with the entries its polygons have in the
        // queuing build's search cache (SearchCache::HandOver).
        void Submit(BSPNode& node, PrevCounts prev, std::vector<SearchMemo> memos);

        // The node's subtree as the other thread built it, once it is
        // finished; nothing when no thread started on it (the owner builds
        // it itself). Rethrows what that subtree's build threw.
        std::optional<BuiltAhead> Take(BSPNode& node);

      private:
        friend class BuildAhead;
        Queue(BuildAhead& crew, int thread, Job* building);

        BuildAhead& crew_;
        int thread_;     // whose subtree build queued them
        Job* building_;  // the job it builds; null for the whole tree
        std::deque<Job*> waiting_;
    };

    // What a subtree's build starts from.
    struct Start {
        PrevCounts prev;                // the counts its parent's sort made
        std::vector<SearchMemo> memos;  // its polygons' entries, as queued
    };

    // Builds a subtree: node, from `start`, its own queued nodes going to
    // `queue`. Records the nodes it makes final into `finished` and returns
    // what the guard flattened, as Build does.
    using BuildSubtree = std::function<FlatLists(BSPNode& node, const Start& start, Queue& queue,
                                                 std::vector<BSPNode*>& finished)>;

    // budget: the process's, borrowed; null: the helper always works. Both
    // threads give up a subtree at its next node once the current log's stop
    // flag is set, as the build does.
    BuildAhead(BuildSubtree build, ThreadBudget* budget);
    ~BuildAhead();
    BuildAhead(const BuildAhead&) = delete;
    BuildAhead& operator=(const BuildAhead&) = delete;

    // The queue of the whole tree's build, on the build's own thread.
    Queue OpenTree();

    // Only lists this long are worth a thread's hand-over.
    static constexpr std::size_t kMinPolys = 64;
    // Only a tree this large keeps the helper busy enough for its thread.
    static constexpr std::size_t kMinTreePolys = 4096;
    // A subtree built ahead stays whole, and its pieces in memory, until its
    // owner gets there; the helper takes on no more than this many polygons
    // at a time that way.
    static constexpr std::size_t kMaxAheadPolys = std::size_t{1} << 15;

  private:
    struct Job {
        BSPNode* node = nullptr;
        Start start;
        int thread = -1;         // the one building it, once started
        Queue* queue = nullptr;  // its build's own, while that is open
        bool done = false;
        std::size_t ahead = 0;  // what it counts towards kMaxAheadPolys
        BuiltAhead built;
        std::exception_ptr error;  // rethrown by Take
    };
    static constexpr int kBuildThread = 0;
    static constexpr int kHelperThread = 1;

    void Run();
    // Takes the oldest node of at most `most` polygons queued below
    // `building` on its thread, or in the whole tree when null; null when
    // there is none.
    Job* Steal(int thread, const Job* building, std::size_t most);
    static bool Fits(const Job* job, std::size_t most) {
        return job->node->polys.items.size() <= most;
    }
    // Builds a stolen job's subtree on this thread, without the lock, and
    // says it is done.
    void Work(std::unique_lock<std::mutex>& lock, int thread, Job& job);
    void BuildOne(int thread, Job& job);
    void Close(Queue& queue);

    BuildSubtree build_;
    ThreadBudget* budget_;
    const StopFlag* userStop_;
    // Set when the build leaves before the helper is done: the helper gives
    // up the subtree it builds at its next node.
    StopFlag abandoned_{false};

    std::mutex mutex_;
    // Something was queued or finished, or the build is leaving.
    std::condition_variable changed_;
    // Each thread's open queues, outermost first.
    std::vector<Queue*> open_[2];
    std::unordered_map<BSPNode*, Job> jobs_;
    // The polygons of the subtrees the helper took from the build's queues
    // and the build has not taken back yet.
    std::size_t ahead_ = 0;
    bool stopping_ = false;
    // Counts the submissions: a helper refused a thread tries again at the
    // next one, rather than spinning on a queue it cannot serve.
    std::size_t submitted_ = 0;
    std::thread helper_;
};

}  // namespace tarvel
