#pragma once

#include <atomic>
#include <memory>

#include "bsp/geometry.h"
#include "bsp/poly_list.h"

namespace tarvel {

// Which parts of a node hold polygons once it is sorted.
struct NodeParts {
    bool inFront = false;  // IF
    bool onFront = false;  // F
    bool onBack = false;   // B
    bool inBack = false;   // IB
};

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

    // Set by a build that another thread follows (BuildFollow) once nothing
    // of this node changes any more but what lies below its children:
    // `parts` then says which of its parts got polygons, while the build may
    // be releasing its children's own lists.
    NodeParts parts;
    std::atomic<bool> published{false};
};

// The parts of the node as its lists have them now.
NodeParts PartsOf(const BSPNode& node);

}  // namespace tarvel
