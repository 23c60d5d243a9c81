#include "bsp/bsp_node_steps.h"
#include "bsp/side_counting.h"
#include "log/log.h"

namespace tarvel {

void PrepareNode(BSPNode& node, BuildStrategy strategy) {
    // Pieces arrive with the default plane; every node recomputes them all.
    for (Poly& poly : node.polys.items) {
        ComputePlane(poly);
    }
    if (CountsEverySide(strategy)) {
        CountSides(node.polys.items, strategy);
        node.polys.Dump();
    }
}

bool CountsEverySide(BuildStrategy strategy) {
    return strategy == BuildStrategy::Literal || LogFileActive();
}

}  // namespace tarvel
