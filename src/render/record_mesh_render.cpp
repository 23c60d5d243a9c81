#include "render/record_mesh_render.h"

#include <vector>

#include "threedo/convert.h"

namespace tarvel::render {

namespace {

constexpr Rgb kNoPlaneNodeColour{0.6f, 0.6f, 0.6f};

Rgb PolygonColour(const RecordPolygon& polygon) {
    return polygon.col == kNoMaterialColourWord ? kNoMaterialColour : ColourOfWord(polygon.col);
}

// One colour per texture: that of the first polygon carrying it.
std::vector<Rgb> TextureColours(const RecordMesh& records) {
    std::vector<Rgb> colours(records.textures.size());
    std::vector<bool> seen(records.textures.size(), false);
    for (const RecordPolygon& polygon : records.polygons) {
        const auto t = static_cast<std::size_t>(polygon.texture);
        if (polygon.texture >= 0 && !seen[t]) {
            seen[t] = true;
            colours[t] = PolygonColour(polygon);
        }
    }
    return colours;
}

}  // namespace

Rgb ColourOfWord(uint32_t col) {
    const auto channel = [col](int shift) {
        return static_cast<float>((col >> shift) & 0xFFu) / 255.0f;
    };
    return Rgb{channel(0), channel(8), channel(16)};
}

RenderMesh MakeRecordRenderMesh(const RecordMesh& records, RecordColouring colouring) {
    const std::vector<Rgb> byTexture = TextureColours(records);
    RenderMesh mesh;
    mesh.polys.reserve(records.polygons.size());
    std::vector<Vec3> corners;
    for (const RecordPolygon& polygon : records.polygons) {
        corners.clear();
        for (const RecordCorner& c : polygon.corners) {
            const auto& p = records.points[static_cast<std::size_t>(c.vtx)];
            corners.push_back(Vec3{p[0], p[1], p[2]});
        }
        Rgb colour;
        if (colouring == RecordColouring::ByPlaneNode) {
            colour = polygon.planeNode >= 0 ? SpreadColour(polygon.planeNode) : kNoPlaneNodeColour;
        } else {
            colour = polygon.texture >= 0 ? byTexture[static_cast<std::size_t>(polygon.texture)]
                                          : PolygonColour(polygon);
        }
        mesh.AddCorners(corners, colour);
    }
    return mesh;
}

}  // namespace tarvel::render
