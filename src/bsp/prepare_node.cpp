#include <cassert>

#include "bsp/bsp_node_steps.h"
#include "bsp/search/carried_counts.h"
#include "bsp/side_counting.h"
#include "log/thread_budget.h"

namespace tarvel {

void PrepareNode(BSPNode& node, const BuildPlan& plan, SearchCache* cache) {
    // Pieces arrive with the default plane. The literal build recomputes
    // every plane at every node, as the reference does.
    const bool fast = plan.strategy == BuildStrategy::Fast;
    assert(!fast || cache != nullptr);
    ComputePlanes(node.polys.items, fast ? cache : nullptr);
    if (plan.countEverySide) {
        // The fast strategy has most counters carried down from the node
        // above; the literal one counts them all at every node.
        if (fast) {
            CountUnknownSides(node.polys.items, *cache, MachineCores());
        } else {
            CountSides(node.polys.items, plan.strategy);
        }
        node.polys.Dump();
    }
}

void ComputePlanes(std::vector<Poly>& polys, SearchCache* cache) {
    for (Poly& poly : polys) {
        if (cache != nullptr && (*cache)[poly].planeKnown) {
            continue;
        }
        ComputePlane(poly);
        if (cache != nullptr) {
            // Too few points show a message box each time, so that stays.
            (*cache)[poly].planeKnown = poly.points.size() >= 3;
        }
    }
}

}  // namespace tarvel
