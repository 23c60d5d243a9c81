#include "bsp/bsp_builder.h"

#include <memory>
#include <vector>

#include "bsp/bsp_node_steps.h"
#include "bsp/parallel/build_follow.h"
#include "bsp/parallel/splitter_prefetch.h"
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
               const BuildPlan& plan, PolyHandoff handoff, SearchCache& cache,
               SplitterPrefetch* prefetch, PrevCounts& counts) {
    Counters& c = ProgressCounters();
    c.listSize = node.polys.Count();
    c.depth += 1;
    c.nodeCount += 1;
    if (c.depth > c.maxDepth) {
        c.maxDepth = c.depth;
    }
    UpdateCounters();
    if (prefetch != nullptr && node.polys.items.size() <= kMaxSearchedPolys) {
        UseSplitter(node, prefetch->Take(node));
    } else {
        PrepareNode(node, plan, &cache);
        ChooseSplitter(node, plan, &cache);
    }
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

// A second thread pays only on a large tree whose splitters are searched.
std::unique_ptr<SplitterPrefetch> PrefetchFor(const BSPNode& root, const BuildPlan& plan,
                                              SearchCache& cache) {
    const std::size_t polys = root.polys.items.size();
    if (!plan.prefetch || polys < SplitterPrefetch::kMinTreePolys || polys > kMaxSearchedPolys) {
        return nullptr;
    }
    return std::make_unique<SplitterPrefetch>(cache, CurrentLog().budget);
}

// The inback child waits while the infront subtree is built.
void QueueInBack(SplitterPrefetch* prefetch, BSPNode& node) {
    BSPNode* child = node.inback.get();
    if (prefetch != nullptr && child != nullptr &&
        child->polys.items.size() >= SplitterPrefetch::kMinPolys &&
        child->polys.items.size() <= kMaxSearchedPolys) {
        prefetch->Submit(*child);
    }
}

// A node the build is done with; with a guard that fired, also its children,
// which it never enters.
void Publish(const BuildFollow* follow, BSPNode& node, bool guarded) {
    if (follow == nullptr) {
        return;
    }
    if (guarded) {
        for (BSPNode* child : {node.infront.get(), node.inback.get()}) {
            if (child != nullptr) {
                follow->Publish(*child);
            }
        }
    }
    follow->Publish(node);
}

enum class Next { InFront, InBack, Leave };

// A node whose children are being built, and which of them comes next.
struct Frame {
    BSPNode* node;
    PrevCounts counts;
    Next next;
};

}  // namespace

// The walk keeps its own stack: a degenerate scene makes the tree as deep as
// it has polygons. Each frame does what one level of a recursive build would,
// in the same order, so the counters and the log come out the same.
FlatLists Build(BSPNode& node, PrevCounts prev, const Cupboard* materials, const BuildPlan& plan,
                const BuildFollow* follow) {
    std::vector<Frame> stack;
    PrevCounts counts;
    // A node that does not descend was flattened by the guard; its depth is
    // one below the frames on the stack, the root at 1. Counted before the
    // node is published: a conversion that follows may take it apart.
    FlatLists flats;
    // What the fast build learns of its polygons, from the root down; the
    // prefetch's helper searches with it, so it outlives the helper.
    SearchCache cache;
    if (plan.strategy == BuildStrategy::Fast) {
        cache.Enter(node.polys.items);
    }
    ThrowIfStopped();
    const std::unique_ptr<SplitterPrefetch> prefetch = PrefetchFor(node, plan, cache);
    // The root's list may outlive the build (the preview shows it); every
    // other node's is released once sorted, so its polygons move to the
    // children.
    const PolyHandoff rootHandoff = plan.keepRootList ? PolyHandoff::Copy : PolyHandoff::Move;
    const bool rootDescends =
        EnterNode(node, prev, materials, plan, rootHandoff, cache, prefetch.get(), counts);
    if (!plan.keepRootList) {
        node.polys.Release();
    }
    Publish(follow, node, !rootDescends);
    if (rootDescends) {
        QueueInBack(prefetch.get(), node);
        stack.push_back(Frame{&node, counts, Next::InFront});
    }
    while (!stack.empty()) {
        Frame& top = stack.back();
        BSPNode* child = nullptr;
        const char* line = nullptr;
        if (top.next == Next::InFront) {
            top.next = Next::InBack;
            child = top.node->infront.get();
            line = "BSP'ing infront.\n";
        } else if (top.next == Next::InBack) {
            top.next = Next::Leave;
            child = top.node->inback.get();
            line = "BSP'ing inback.\n";
        } else {
            stack.pop_back();
            LeaveNode();
            continue;
        }
        if (child == nullptr) {
            continue;
        }
        if (child->polys.Empty()) {
            Publish(follow, *child, false);
            continue;
        }
        // A stop leaves the tree half built; the driver discards it.
        ThrowIfStopped();
        LogFileText(line);
        const PrevCounts inherited = top.counts;
        const bool descend = EnterNode(*child, inherited, materials, plan, PolyHandoff::Move, cache,
                                       prefetch.get(), counts);
        // Sorted and past the guard, the child's own polygons live on in its
        // children and on-plane lists. The guard at a child copies from that
        // child's children, which keep theirs.
        child->polys.Release();
        if (!descend) {
            flats.Add(child->flatList->Count(), static_cast<int32_t>(stack.size()) + 1);
        }
        Publish(follow, *child, !descend);
        if (descend) {
            QueueInBack(prefetch.get(), *child);
            stack.push_back(Frame{child, counts, Next::InFront});
        }
    }
    if (follow != nullptr) {
        follow->Finish();
    }
    // The root is the caller's, so its list is still there to count.
    if (!rootDescends) {
        flats.Add(node.flatList->Count(), 1);
    }
    return flats;
}

FlatLists Build(BSPNode& node, PrevCounts prev, const Cupboard* materials, BuildStrategy strategy,
                const BuildFollow* follow) {
    return Build(node, prev, materials,
                 PlanBuild(strategy, LogFileActive(), follow == nullptr, BuildThreads()), follow);
}

}  // namespace tarvel
