#pragma once

#include <string>
#include <vector>

#include "bsp/bsp_node.h"
#include "log/log.h"

namespace tarvel::testing {

// The tree's shape: every node's plane, bit for bit, and the sizes of its
// lists, in pre-order.
inline std::string TreeShape(const BSPNode& root) {
    std::string out;
    std::vector<const BSPNode*> pending{&root};
    while (!pending.empty()) {
        const BSPNode* node = pending.back();
        pending.pop_back();
        const auto size = [](const PolyList* list) { return list ? list->Count() : -1; };
        const Plane& p = node->plane;
        out +=
            Format("(%a %a %a %a) %d %d %d %d\n", p.a, p.b, p.c, p.d, node->polys.Count(),
                   size(node->onfront.get()), size(node->onback.get()), size(node->flatList.get()));
        for (const BSPNode* child : {node->inback.get(), node->infront.get()}) {
            if (child != nullptr) {
                pending.push_back(child);
            }
        }
    }
    return out;
}

}  // namespace tarvel::testing
