#pragma once

#include <cstdint>

#include "ase/scene.h"
#include "bsp/bsp_node.h"
#include "bsp/build_plan.h"
#include "bsp/flat_lists.h"

namespace tarvel {
class BuildFollow;
}

namespace tarvel {

// The counts the parent's sort produced; -1 each for the root, so the
// recursion guard never fires there.
struct PrevCounts {
    int32_t inFront = -1;
    int32_t onFront = -1;
    int32_t onBack = -1;
    int32_t inBack = -1;

    bool operator==(const PrevCounts&) const = default;
};

// Builds the subtree of node, depth first (the whole infront subtree before
// inback), advancing the progress counters of the current log. Iterative, so
// any depth fits. With follow, every node is published as soon as it is
// final, for a thread that walks the tree meanwhile. Throws CompileStopped
// before the next node once the current log's stop flag is set. Returns
// what the recursion guard flattened. The default plan is the reference:
// literal, every count and dump, one thread.
FlatLists Build(BSPNode& node, PrevCounts prev, const Cupboard* materials,
                const BuildPlan& plan = BuildPlan{}, const BuildFollow* follow = nullptr);

}  // namespace tarvel
