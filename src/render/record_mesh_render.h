#pragma once

// A 3DO file's polygons as the renderer draws them, coloured so that the
// picture can be laid beside the scene's: every polygon of one texture in
// one colour, as every polygon of one material is in the scene.

#include <cstdint>

#include "render/render_mesh.h"
#include "threedo/record_polygons.h"

namespace tarvel::render {

enum class RecordColouring {
    // The colour word of the first polygon with the texture; a polygon
    // without a texture in its own. The word the conversion writes for a
    // polygon without a material draws white, as the scene draws it.
    ByTexture,
    // Spread hues by the plane node above the polygon; grey without one.
    ByPlaneNode,
};

// The red, green and blue bytes of a 3DO colour word (red lowest).
Rgb ColourOfWord(uint32_t col);

RenderMesh MakeRecordRenderMesh(const RecordMesh& records, RecordColouring colouring);

}  // namespace tarvel::render
