#include "bsp/bsp_node.h"

#include <vector>

namespace tarvel {

NodeParts PartsOf(const BSPNode& node) {
    NodeParts p;
    p.inFront = node.infront && !node.infront->polys.Empty();
    p.onFront = node.onfront && !node.onfront->Empty();
    p.onBack = node.onback && !node.onback->Empty();
    p.inBack = node.inback && !node.inback->polys.Empty();
    return p;
}

BSPNode::~BSPNode() {
    // Detach the children onto a worklist so that destroying a deep tree
    // never recurses.
    std::vector<std::unique_ptr<BSPNode>> pending;
    if (infront)
        pending.push_back(std::move(infront));
    if (inback)
        pending.push_back(std::move(inback));
    while (!pending.empty()) {
        std::unique_ptr<BSPNode> node = std::move(pending.back());
        pending.pop_back();
        if (node->infront)
            pending.push_back(std::move(node->infront));
        if (node->inback)
            pending.push_back(std::move(node->inback));
    }
}

}  // namespace tarvel
