#include "bsp/bsp_node_steps.h"
#include "bsp/search/carried_counts.h"
#include "bsp/side_counting.h"

namespace tarvel {

void PrepareNode(BSPNode& node, const BuildPlan& plan) {
    // Pieces arrive with the default plane. The literal build recomputes
    // every plane at every node, as the reference does.
    ComputePlanes(node.polys.items, plan.strategy == BuildStrategy::Literal
                                        ? PlaneReuse::RecomputeAll
                                        : PlaneReuse::ReuseKnown);
    if (plan.countEverySide) {
        // The fast strategy has most counters carried down from the node
        // above; the literal one counts them all at every node.
        if (plan.strategy == BuildStrategy::Fast) {
            CountUnknownSides(node.polys.items, MachineCores());
        } else {
            CountSides(node.polys.items, plan.strategy);
        }
        node.polys.Dump();
    }
}

void ComputePlanes(std::vector<Poly>& polys, PlaneReuse reuse) {
    for (Poly& poly : polys) {
        if (reuse == PlaneReuse::ReuseKnown && poly.planeKnown) {
            continue;
        }
        ComputePlane(poly);
        // Too few points show a message box each time, so that stays.
        poly.planeKnown = poly.points.size() >= 3;
    }
}

}  // namespace tarvel
