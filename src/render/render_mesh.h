#pragma once

// What the renderer draws: convex polygons over a shared point array, plus
// line segments on top. A mesh is a copy of positions and colours only, so a
// preview keeps no part of the scene or the tree that it shows.

#include <cstdint>
#include <span>
#include <vector>

#include "ase/scene.h"
#include "bsp/poly_list.h"
#include "render/colour.h"
#include "render/vec3.h"

namespace tarvel::render {

struct MeshPoly {
    uint32_t first = 0;  // index of the first corner in RenderMesh::points
    uint32_t count = 0;  // corners, three or more
    Rgb colour;
    Vec3 normal{0, 0, 1};
    bool outline = false;  // drawn as its edges only
};

struct MeshLine {
    Vec3 a, b;
    Rgba colour = PackRgba(255, 255, 255);
};

struct RenderMesh {
    std::vector<Vec3> points;
    std::vector<MeshPoly> polys;
    std::vector<MeshLine> lines;  // always drawn, over the polygons

    Bounds GetBounds() const;
    // Appends a polygon; the normal comes from its plane.
    void AddPoly(const Poly& poly, Rgb colour, bool outline);
    // Appends a filled polygon; the normal comes from its first three
    // corners, as a polygon's plane does.
    void AddCorners(std::span<const Vec3> corners, Rgb colour);
    std::size_t TriangleCount() const;
};

inline constexpr Rgb kNoMaterialColour{1, 1, 1};

// True when the polygon's material names the bitmap "clipper" (with or
// without the path and extension the file gives).
bool IsClipperMaterial(const Poly& poly, const Cupboard* cupboard);

// The picked scene: filled polygons in their material's colour, white without
// one, and clipper polygons as outlines.
RenderMesh MakeSceneMesh(const PolyList& polys, const Cupboard* cupboard);

}  // namespace tarvel::render
