#include "bsp/bsp_builder.h"

#include <memory>
#include <vector>

#include "bsp/bsp_node_steps.h"
#include "bsp/parallel/build_ahead.h"
#include "bsp/parallel/build_follow.h"
#include "bsp/search/carried_counts.h"
#include "bsp/search/splitter_search.h"
#include "bsp/side_counting.h"
#include "log/log.h"

namespace tarvel {

PrevCounts SortedCounts(const BSPNode& node) {
    return PrevCounts{
        node.infront ? node.infront->polys.Count() : 0, node.onfront ? node.onfront->Count() : 0,
        node.onback ? node.onback->Count() : 0, node.inback ? node.inback->polys.Count() : 0};
}

void Flatten(BSPNode& node, const PrevCounts& counts, const Cupboard* materials) {
    LogMemoF("Recursion occured, number of polys= %d(infront), %d(onfront), %d(onback), %d(inback)",
             counts.inFront, counts.onFront, counts.onBack, counts.inBack);
    node.flatList = std::make_unique<PolyList>();
    PolyList& flat = *node.flatList;
    // Clipper polygons only shape the tree; a flat list emits polygons.
    const auto take = [&flat, materials](const PolyList* list) {
        if (list == nullptr) {
            return;
        }
        for (const Poly& poly : list->items) {
            if (!poly.clipper) {
                flat.Add(poly, materials);
            }
        }
    };
    take(node.infront ? &node.infront->polys : nullptr);
    take(node.inback ? &node.inback->polys : nullptr);
    take(node.onfront.get());
    take(node.onback.get());
}

namespace {

void LeaveNode() {
    ProgressCounters().depth -= 1;
    UpdateCounters();
}

// Everything a node does before its children: the counters, the three steps
// and the recursion guard. True when its children are to be built, with the
// counts they inherit.
bool EnterNode(BSPNode& node, const PrevCounts& prev, const Cupboard* materials,
               const BuildPlan& plan, PolyHandoff handoff, SearchCache& cache, PrevCounts& counts) {
    Counters& c = ProgressCounters();
    c.listSize = node.polys.Count();
    c.depth += 1;
    c.nodeCount += 1;
    if (c.depth > c.maxDepth) {
        c.maxDepth = c.depth;
    }
    UpdateCounters();
    PrepareNode(node, plan, &cache);
    ChooseSplitter(node, plan, &cache);
    // The literal build counts every node afresh; the fast one carries the
    // counters of a child that inherits nearly the whole list.
    CountsPastTheSort pastTheSort;
    std::vector<Side> sides;
    const bool fast = plan.strategy == BuildStrategy::Fast;
    if (!plan.countEverySide) {
        sides = CarryCounts(node.polys.items, cache, node.plane);
    } else if (fast) {
        sides = pastTheSort.Carry(node.polys.items, cache, node.plane);
    }
    SortPolys(node, materials, handoff, sides, fast ? &cache : nullptr);
    pastTheSort.Hand(node, cache);
    counts = SortedCounts(node);
    // A partition that repeats the parent's exactly would repeat forever.
    if (counts == prev) {
        Flatten(node, counts, materials);
        LeaveNode();
        return false;
    }
    return true;
}

// Where the build's final nodes go: to a thread that follows the build, or,
// for a subtree built ahead, into its record. Nothing touches a recorded
// node until the subtree's owner publishes it, so it is published then as
// it was made.
struct Finished {
    const BuildFollow* follow = nullptr;
    std::vector<BSPNode*>* recorded = nullptr;

    void Add(BSPNode& node) const {
        if (recorded != nullptr) {
            recorded->push_back(&node);
        } else if (follow != nullptr) {
            follow->Publish(node);
        }
    }
};

// A node the build is done with; with a guard that fired, also its children,
// which it never enters.
void Publish(const Finished& finished, BSPNode& node, bool guarded) {
    if (guarded) {
        for (BSPNode* child : {node.infront.get(), node.inback.get()}) {
            if (child != nullptr) {
                finished.Add(*child);
            }
        }
    }
    finished.Add(node);
}

FlatLists BuildTree(BSPNode& node, PrevCounts prev, const Cupboard* materials,
                    const BuildPlan& plan, const Finished& finished, BuildAhead::Queue* queue,
                    const std::vector<SearchMemo>* memos = nullptr);

// A second thread pays only on a large tree whose splitters are searched.
std::unique_ptr<BuildAhead> AheadFor(const BSPNode& root, const Cupboard* materials,
                                     const BuildPlan& plan, const Finished& finished) {
    const std::size_t polys = root.polys.items.size();
    if (!plan.prefetch || polys < BuildAhead::kMinTreePolys || polys > kMaxSearchedPolys) {
        return nullptr;
    }
    // A subtree's root is any other node: its list goes to its children.
    BuildPlan subtreePlan = plan;
    subtreePlan.keepRootList = false;
    const bool record = finished.follow != nullptr;
    return std::make_unique<BuildAhead>(
        [materials, subtreePlan, record](BSPNode& subtree, const BuildAhead::Start& start,
                                         BuildAhead::Queue& queue, std::vector<BSPNode*>& done) {
            return BuildTree(subtree, start.prev, materials, subtreePlan,
                             Finished{.recorded = record ? &done : nullptr}, &queue, &start.memos);
        },
        CurrentLog().budget);
}

// The inback child waits while the infront subtree is built. True when it
// is queued: from then on, until the build takes it back, the helper may be
// building it.
bool QueueInBack(BuildAhead::Queue* queue, BSPNode& node, const PrevCounts& counts,
                 const SearchCache& cache) {
    BSPNode* child = node.inback.get();
    if (queue == nullptr || child == nullptr || child->polys.items.size() < BuildAhead::kMinPolys) {
        return false;
    }
    queue->Submit(*child, counts, cache.HandOver(child->polys.items));
    return true;
}

// Says here, below a parent at this depth, what the build of a subtree on
// the other thread said.
void SayBuiltAhead(const BuiltAhead& built, const Finished& finished, FlatLists& flats,
                   int32_t parentDepth) {
    for (const BuiltAhead::Line& line : built.lines) {
        if (line.messageBox) {
            ShowMessageBox(line.text);
        } else {
            LogMemo(line.text);
        }
    }
    Counters& c = ProgressCounters();
    const Counters& moved = built.counters;
    c.maxDepth = std::max(c.maxDepth, c.depth + moved.maxDepth);
    c.nodeCount += moved.nodeCount;
    c.polysDone += moved.polysDone;
    c.splitPolys += moved.splitPolys;
    c.listSize = moved.listSize;
    UpdateCounters();
    flats.Merge(built.flats, parentDepth);
    for (BSPNode* done : built.finished) {
        finished.Add(*done);
    }
}

enum class Next { InFront, InBack, Leave };

// A node whose children are being built, and which of them comes next.
struct Frame {
    BSPNode* node;
    PrevCounts counts;
    Next next;
    bool inBackQueued;
};

// The walk keeps its own stack: a degenerate scene makes the tree as deep as
// it has polygons. Each frame does what one level of a recursive build would,
// in the same order, so the counters and the log come out the same.
FlatLists BuildTree(BSPNode& node, PrevCounts prev, const Cupboard* materials,
                    const BuildPlan& plan, const Finished& finished, BuildAhead::Queue* queue,
                    const std::vector<SearchMemo>* memos) {
    std::vector<Frame> stack;
    PrevCounts counts;
    // A node that does not descend was flattened by the guard; its depth is
    // one below the frames on the stack, the root at 1. Counted before the
    // node is published: a conversion that follows may take it apart.
    FlatLists flats;
    // What the fast build learns of its polygons, from the root down; a
    // subtree built ahead starts from what its owner's build had learnt.
    SearchCache cache;
    if (memos != nullptr) {
        cache.Enter(node.polys.items, *memos);
    } else if (plan.strategy == BuildStrategy::Fast) {
        cache.Enter(node.polys.items);
    }
    ThrowIfStopped();
    // The root's list may outlive the build (the preview shows it); every
    // other node's is released once sorted, so its polygons move to the
    // children.
    const PolyHandoff rootHandoff = plan.keepRootList ? PolyHandoff::Copy : PolyHandoff::Move;
    const bool rootDescends = EnterNode(node, prev, materials, plan, rootHandoff, cache, counts);
    if (!plan.keepRootList) {
        node.polys.Release();
    }
    Publish(finished, node, !rootDescends);
    if (rootDescends) {
        const bool queued = QueueInBack(queue, node, counts, cache);
        stack.push_back(Frame{&node, counts, Next::InFront, queued});
    }
    while (!stack.empty()) {
        Frame& top = stack.back();
        BSPNode* child = nullptr;
        const char* line = nullptr;
        bool queued = false;
        if (top.next == Next::InFront) {
            top.next = Next::InBack;
            child = top.node->infront.get();
            line = "BSP'ing infront.\n";
        } else if (top.next == Next::InBack) {
            top.next = Next::Leave;
            child = top.node->inback.get();
            line = "BSP'ing inback.\n";
            queued = top.inBackQueued;
        } else {
            stack.pop_back();
            LeaveNode();
            continue;
        }
        if (child == nullptr) {
            continue;
        }
        // A queued child has polygons; the helper may be taking them now.
        if (!queued && child->polys.Empty()) {
            Publish(finished, *child, false);
            continue;
        }
        // A stop leaves the tree half built; the driver discards it.
        ThrowIfStopped();
        LogFileText(line);
        if (queued) {
            if (const std::optional<BuiltAhead> built = queue->Take(*child)) {
                SayBuiltAhead(*built, finished, flats, static_cast<int32_t>(stack.size()));
                continue;
            }
        }
        const PrevCounts inherited = top.counts;
        const bool descend =
            EnterNode(*child, inherited, materials, plan, PolyHandoff::Move, cache, counts);
        // Sorted and past the guard, the child's own polygons live on in its
        // children and on-plane lists. The guard at a child copies from that
        // child's children, which keep theirs.
        child->polys.Release();
        if (!descend) {
            flats.Add(child->flatList->Count(), static_cast<int32_t>(stack.size()) + 1);
        }
        Publish(finished, *child, !descend);
        if (descend) {
            const bool inBackQueued = QueueInBack(queue, *child, counts, cache);
            stack.push_back(Frame{child, counts, Next::InFront, inBackQueued});
        }
    }
    // The root is the caller's, so its list is still there to count.
    if (!rootDescends) {
        flats.Add(node.flatList->Count(), 1);
    }
    return flats;
}

}  // namespace

FlatLists Build(BSPNode& node, PrevCounts prev, const Cupboard* materials, const BuildPlan& plan,
                const BuildFollow* follow) {
    const Finished finished{.follow = follow};
    FlatLists flats;
    // Goes before the tree's nodes do, should the build fail.
    if (const std::unique_ptr<BuildAhead> crew = AheadFor(node, materials, plan, finished)) {
        BuildAhead::Queue queue = crew->OpenTree();
        flats = BuildTree(node, prev, materials, plan, finished, &queue);
    } else {
        flats = BuildTree(node, prev, materials, plan, finished, nullptr);
    }
    if (follow != nullptr) {
        follow->Finish();
    }
    return flats;
}

}  // namespace tarvel
