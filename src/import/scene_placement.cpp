#include "import/scene_placement.h"

#include <cmath>
#include <limits>

namespace tarvel::import {

namespace {

// (x, y, z) of a y-up file is (x, -z, y) in a z-up world. 0 - z rather than
// -z: a zero stays +0, as the same coordinate read from an ASE file would.
void TurnZUp(std::array<float, 3>& p) {
    const float y = p[1];
    p[1] = 0.0f - p[2];
    p[2] = y;
}

float Scaled(float value, double scale) {
    return NarrowCoordinate(static_cast<double>(value) * scale);
}

GeomObject MakeObject(const WireObject& wire, const Cupboard& cupboard) {
    GeomObject geom;
    const bool hasMaterial = wire.material != kNoMaterial;
    const auto materialRef = hasMaterial ? static_cast<int32_t>(wire.material) : -1;
    const Colour colour = hasMaterial ? cupboard.At(materialRef).colour : Colour{};
    geom.vertices.reserve(wire.positions.size());
    for (std::size_t i = 0; i < wire.positions.size(); ++i) {
        const auto& p = wire.positions[i];
        geom.AddVertex(Vertex{static_cast<int32_t>(i), p[0], p[1], p[2]});
    }
    for (std::size_t i = 0; i < wire.uvs.size(); ++i) {
        geom.AddTVertex(TVertex{static_cast<int32_t>(i), wire.uvs[i][0], wire.uvs[i][1], 0.0f});
    }
    geom.faces.reserve(wire.triangles.size());
    for (std::size_t i = 0; i < wire.triangles.size(); ++i) {
        const auto index = static_cast<int32_t>(i);
        const auto a = static_cast<int32_t>(wire.triangles[i][0]);
        const auto b = static_cast<int32_t>(wire.triangles[i][1]);
        const auto c = static_cast<int32_t>(wire.triangles[i][2]);
        Face face;
        face.index = index;
        face.a = a;
        face.b = b;
        face.c = c;
        face.materialRef = materialRef;
        face.colour = colour;
        geom.AddFace(face);
        // Texture coordinates are per vertex, so a texture face names the
        // same corners as its face.
        if (!wire.uvs.empty()) {
            geom.AddTFace(TFace{index, a, b, c});
        }
    }
    return geom;
}

}  // namespace

float NarrowCoordinate(double value) {
    if (std::fabs(value) > std::numeric_limits<float>::max()) {
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

std::array<float, 3> Placed(std::array<float, 3> p, UpAxis up, double scale) {
    if (up == UpAxis::Y) {
        TurnZUp(p);
    }
    if (scale != 1.0) {
        for (float& value : p) {
            value = Scaled(value, scale);
        }
    }
    return p;
}

void PlaceScene(WireScene& scene, const Placement& placement) {
    const UpAxis up = placement.up.value_or(scene.up);
    for (WireObject& object : scene.objects) {
        for (std::array<float, 3>& p : object.positions) {
            p = Placed(p, up, placement.scale);
        }
    }
    scene.up = UpAxis::Z;
}

void FillSceneModel(const WireScene& wire, Scene& scene, Cupboard& cupboard) {
    scene = Scene{};
    cupboard = Cupboard{};
    for (std::size_t i = 0; i < wire.materials.size(); ++i) {
        Material material;
        material.id = static_cast<int32_t>(i);
        material.colour = wire.materials[i].colour;
        material.SetBitmap(wire.materials[i].bitmap);
        cupboard.Add(std::move(material));
    }
    for (const WireObject& object : wire.objects) {
        scene.AddGeom(MakeObject(object, cupboard));
    }
}

}  // namespace tarvel::import
