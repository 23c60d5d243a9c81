#pragma once

// A light copy of a finished BSP tree for the preview: the nodes in build
// order with their depth, counts and a quad on their splitter plane, and the
// polygons where they ended (on-plane or flat lists) as a mesh coloured by
// list, split pieces with their cut edges highlighted.

#include <array>
#include <cstdint>
#include <vector>

#include "ase/scene.h"
#include "bsp/bsp_node.h"
#include "render/render_mesh.h"

namespace tarvel::render {

struct SnapshotNode {
    int32_t depth = 1;
    int32_t polys = 0;
    int32_t inFront = 0;
    int32_t onFront = 0;
    int32_t onBack = 0;
    int32_t inBack = 0;
    bool flattened = false;
    std::array<Vec3, 4> quad;  // the splitter plane over the node's polygons
};

struct BspSnapshot {
    std::vector<SnapshotNode> nodes;  // in build order, root first
    RenderMesh mesh;
    int32_t leafLists = 0;
    int32_t splitPieces = 0;
    int32_t cutEdges = 0;
};

inline constexpr Rgba kCutEdgeColour = PackRgba(255, 230, 0);

// Walks the tree without recursion; any depth fits.
BspSnapshot TakeBspSnapshot(const BSPNode& root);

}  // namespace tarvel::render
