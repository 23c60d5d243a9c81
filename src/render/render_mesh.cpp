#include "render/render_mesh.h"

namespace tarvel::render {

Bounds RenderMesh::GetBounds() const {
    Bounds bounds;
    for (const Vec3& p : points) {
        bounds.Add(p);
    }
    for (const MeshLine& line : lines) {
        bounds.Add(line.a);
        bounds.Add(line.b);
    }
    return bounds;
}

void RenderMesh::AddPoly(const Poly& poly, Rgb colour, bool outline) {
    if (poly.points.size() < 3) {
        return;
    }
    MeshPoly out;
    out.first = static_cast<uint32_t>(points.size());
    out.count = static_cast<uint32_t>(poly.points.size());
    out.colour = colour;
    out.normal = Normalised(Vec3{poly.plane.a, poly.plane.b, poly.plane.c});
    out.outline = outline;
    for (const APoint& p : poly.points) {
        points.push_back(Vec3{p.x, p.y, p.z});
    }
    polys.push_back(out);
}

void RenderMesh::AddCorners(std::span<const Vec3> corners, Rgb colour) {
    if (corners.size() < 3) {
        return;
    }
    MeshPoly out;
    out.first = static_cast<uint32_t>(points.size());
    out.count = static_cast<uint32_t>(corners.size());
    out.colour = colour;
    out.normal = Normalised(Cross(corners[1] - corners[0], corners[2] - corners[0]));
    points.insert(points.end(), corners.begin(), corners.end());
    polys.push_back(out);
}

std::size_t RenderMesh::TriangleCount() const {
    std::size_t n = 0;
    for (const MeshPoly& poly : polys) {
        n += poly.outline ? 0 : poly.count - 2;
    }
    return n;
}

bool IsClipperMaterial(const Poly& poly, const Cupboard* cupboard) {
    if (poly.clipper) {
        return true;
    }
    if (cupboard == nullptr) {
        return false;
    }
    const Material* m = cupboard->FindMaterial(poly.material, poly.subMaterial);
    return m != nullptr && FixBitmapName(m->bmpname) == "clipper";
}

RenderMesh MakeSceneMesh(const PolyList& polys, const Cupboard* cupboard) {
    RenderMesh mesh;
    mesh.points.reserve(polys.items.size() * 3);
    mesh.polys.reserve(polys.items.size());
    for (const Poly& poly : polys.items) {
        const Material* m =
            cupboard ? cupboard->FindMaterial(poly.material, poly.subMaterial) : nullptr;
        const Rgb colour = m ? Rgb{m->colour.r, m->colour.g, m->colour.b} : kNoMaterialColour;
        mesh.AddPoly(poly, colour, IsClipperMaterial(poly, cupboard));
    }
    return mesh;
}

}  // namespace tarvel::render
