#pragma once

#include <cstdint>

#include "threedo/nodes.h"

namespace tarvel {

// A line segment routed down a tree by InsertLines. The three words travel
// with the line, into both pieces when it is split; nothing here reads them.
struct LineSeg {
    float x1 = 0, y1 = 0, z1 = 0;  // P1
    float x2 = 0, y2 = 0, z2 = 0;  // P2
    uint32_t words[3] = {0, 0, 0};
    // Vertex-pool indices of P1 and P2, filled on the way down.
    int32_t vertexA = -1;
    int32_t vertexB = -1;
};

}  // namespace tarvel
