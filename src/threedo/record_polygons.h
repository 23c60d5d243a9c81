#pragma once

// The polygons a 3DO file holds, as its records give them: the corners of
// every polygon record (0x81F, 0x820, 0x821) as indices into the file's
// vertex pool, their texture coordinates as stored, the colour word, the
// texture named by the enclosing texture node and the plane node above.
// What the renderer, the preview and the OBJ export draw from.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "threedo/threedo_file.h"

namespace tarvel {

struct RecordCorner {
    int32_t vtx = 0;        // index into RecordMesh::points
    double tx = 0, ty = 0;  // as stored: ty flipped, ceil(largest ty) - ty
    uint32_t col = 0;       // the corner's own colour; the record's for 0x81F
};

struct RecordPolygon {
    uint32_t type = 0x81F;
    uint32_t col = 0;  // alpha, blue, green, red from the high byte down
    std::vector<RecordCorner> corners;
    int32_t texture = -1;    // index into RecordMesh::textures; -1 for none
    int32_t planeNode = -1;  // ordinal of the nearest plane node above; -1 for none
};

struct RecordMesh {
    std::vector<std::array<double, 3>> points;  // the vertex pool, x y z
    std::vector<RecordPolygon> polygons;        // in record order
    std::vector<std::string> textures;          // distinct names in order of first use
    int32_t planeNodes = 0;
};

// Walks the tree in child order, which puts the polygons in the order their
// records lie in a file this program wrote, without recursion. A polygon
// is left out when it has fewer than three corners or a corner whose index
// names no vertex; a texture node without a name (or with an empty one)
// gives its polygons none.
RecordMesh RecordMeshOf(const ThreeDoFile& file);

}  // namespace tarvel
