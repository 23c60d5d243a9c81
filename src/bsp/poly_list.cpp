#include "bsp/poly_list.h"

#include "log/fast_format.h"
#include "log/log.h"

namespace tarvel {

void MarkClipper(Poly& poly, const Cupboard* materials) {
    if (materials != nullptr && !poly.clipper) {
        const Material* m = materials->FindMaterial(poly.material, poly.subMaterial);
        if (m != nullptr && m->bmpname == "clipper") {
            poly.clipper = true;
        }
    }
}

void PolyList::Add(Poly poly, const Cupboard* materials) {
    MarkClipper(poly, materials);
    AddMarked(std::move(poly));
}

void PolyList::AddMarked(Poly&& poly) {
    if (items.empty()) {
        releasedCount_ = 0;
    }
    items.push_back(std::move(poly));
}

void PolyList::Release() {
    releasedCount_ = Count();
    std::vector<Poly>().swap(items);
}

std::vector<Poly> PolyList::TakeItems() {
    releasedCount_ = Count();
    std::vector<Poly> taken;
    taken.swap(items);
    return taken;
}

void PolyList::Dump() const {
    if (!LogFileActive()) {
        return;
    }
    LogContext& log = CurrentLog();
    std::string& out = log.scratch;
    out.clear();
    out.append("PolyList with ");
    AppendInt(out, Count(), 0);
    out.append(" polys\n");
    // Handed on in pieces that stay in the cache: a large list's dump runs
    // to megabytes.
    constexpr std::size_t kPiece = std::size_t{64} << 10;
    for (const Poly& poly : items) {
        AppendPoly(out, poly);
        if (out.size() >= kPiece) {
            log.logFile->Write(out);
            out.clear();
        }
    }
    log.logFile->Write(out);
}

namespace {

APoint Corner(const Vertex& v, const TexCoord& uv, const Colour& colour) {
    return APoint{v.x, v.y, v.z, uv.u, uv.v, colour.r, colour.g, colour.b};
}

}  // namespace

void BuildFromScene(PolyList& list, const Scene& scene) {
    LogMemo("Build PolyList from Scene...");
    list.items.clear();
    for (const GeomObject& geo : scene.geoms) {
        for (const Face& face : geo.faces) {
            const Vertex* va = geo.VertexAt(face.a);
            const Vertex* vb = geo.VertexAt(face.b);
            const Vertex* vc = geo.VertexAt(face.c);
            if (va == nullptr || vb == nullptr || vc == nullptr) {
                LogMemo("va|vb|vc == NULL, doh");
                continue;
            }
            Poly poly;
            poly.points = {Corner(*va, face.uv[0], face.colour),
                           Corner(*vb, face.uv[1], face.colour),
                           Corner(*vc, face.uv[2], face.colour)};
            poly.material = face.materialRef;
            poly.subMaterial = face.mtlid;
            poly.polyClass = face.polyClass;
            ComputePlane(poly);
            list.Add(std::move(poly), nullptr);
        }
    }
    if (DebugDumps()) {
        LogConsole("...end PolyList creation \n");
    }
}

}  // namespace tarvel
