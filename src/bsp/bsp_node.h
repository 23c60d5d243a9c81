#pragma once

#include <memory>

#include "bsp/geometry.h"
#include "bsp/poly_list.h"

namespace tarvel {

// One node of the BSP tree. It owns its list, its children and its on-plane
// lists; every polygon in them is its own copy.
struct BSPNode {
    BSPNode() = default;
    ~BSPNode();  // iterative: a degenerate scene makes the tree as deep as it has polygons
    BSPNode(const BSPNode&) = delete;
    BSPNode& operator=(const BSPNode&) = delete;

    PolyList polys;
    Plane plane;  // the splitter; (0, 0, 1, 0) until chosen
    std::unique_ptr<BSPNode> infront;
    std::unique_ptr<BSPNode> inback;
    std::unique_ptr<PolyList> onfront;
    std::unique_ptr<PolyList> onback;
    std::unique_ptr<PolyList> flatList;  // made only when the recursion guard fires
};

}  // namespace tarvel
