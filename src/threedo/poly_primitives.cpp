#include "log/log.h"
#include "threedo/convert.h"

// Create3DO: the texture nodes and polygon primitives of one on-plane list.

namespace tarvel {

namespace {

// trunc(component * 255) as the processor's conversion gives it: a product
// that is NaN or outside the 32-bit signed range becomes 0x80000000. Checked
// first, since such a conversion is undefined in C++.
uint32_t ChannelWord(float component) {
    const double product = static_cast<double>(component) * 255.0;
    if (!(product > -2147483649.0 && product < 2147483648.0)) {
        return 0x80000000u;
    }
    return static_cast<uint32_t>(static_cast<int32_t>(product));
}

std::string TextureName(const Poly& poly, const Cupboard* materials) {
    return materials != nullptr ? materials->FindBitmapName(poly.material, poly.subMaterial)
                                : std::string();
}

std::unique_ptr<Node5> TextureNode(int32_t classId, const std::string& texture, GStringList& mips) {
    auto node = std::make_unique<Node5>();
    node->kind = 5;
    node->classId = classId;
    node->stringId = mips.addName(texture);
    node->name = mips.entryByOffset(node->stringId)->name;
    return node;
}

// The corners reach the VertexTable in corner order.
std::unique_ptr<Node81F> PolygonNode(const Poly& poly, ZertexList& vertices,
                                     const Cupboard* materials) {
    auto node = std::make_unique<Node81F>();
    node->col = PolyColour(poly, materials);
    // Exactly the corners it gets: a compile holds one of these per polygon.
    node->corners.reserve(poly.points.size());
    for (const APoint& p : poly.points) {
        const int32_t vtx = vertices.addVertex(p.x, p.y, p.z);
        node->AddVertex(vtx, node->col, p.u, p.v);
    }
    return node;
}

// A Node5 over the polygon's Node81F; the corners go into the VertexTable
// before the texture name goes into the MipTable.
std::unique_ptr<Node5> TexturedPrimitive(const Poly& poly, ZertexList& vertices, GStringList& mips,
                                         const Cupboard* materials) {
    std::unique_ptr<Node81F> polygon = PolygonNode(poly, vertices, materials);
    std::unique_ptr<Node5> texture =
        TextureNode(poly.polyClass, TextureName(poly, materials), mips);
    texture->a = std::move(polygon);
    return texture;
}

// Clipper polygons count here: one with another texture ends the sharing.
bool ShareOneTexture(const PolyList& list, const Cupboard* materials) {
    const std::string first = TextureName(list.items.front(), materials);
    for (const Poly& poly : list.items) {
        if (TextureName(poly, materials) != first) {
            return false;
        }
    }
    return true;
}

// One Node5 with the first polygon's class and texture (even a clipper's)
// over an inner Node4 of every non-clipper polygon.
std::unique_ptr<Node5> SharedTextureGroup(const PolyList& list, ZertexList& vertices,
                                          GStringList& mips, const Cupboard* materials) {
    const Poly& first = list.items.front();
    std::unique_ptr<Node5> texture =
        TextureNode(first.polyClass, TextureName(first, materials), mips);
    auto inner = std::make_unique<Node4>();
    for (const Poly& poly : list.items) {
        if (!poly.clipper) {
            inner->AppendChild(PolygonNode(poly, vertices, materials));
        }
    }
    texture->a = std::move(inner);
    return texture;
}

void AppendMixedTextures(Node4& outer, const PolyList& list, ZertexList& vertices,
                         GStringList& mips, const Cupboard* materials) {
    for (const Poly& poly : list.items) {
        if (poly.clipper) {
            continue;
        }
        std::unique_ptr<Node5> primitive = TexturedPrimitive(poly, vertices, mips, materials);
        primitive->Dump();
        LogConsole("N*!F: \n");
        primitive->a->Dump();
        outer.AppendChild(std::move(primitive));
    }
}

}  // namespace

uint32_t PolyColour(const Poly& poly, const Cupboard* materials) {
    const Material* m =
        materials != nullptr ? materials->FindMaterial(poly.material, poly.subMaterial) : nullptr;
    if (m == nullptr) {
        return kNoMaterialColourWord;
    }
    // Red lands in the lowest byte; the words are OR-ed in unmasked.
    return 0xFF000000u | (ChannelWord(m->colour.b) << 16) | (ChannelWord(m->colour.g) << 8) |
           ChannelWord(m->colour.r);
}

std::unique_ptr<Node> Create3DO(const PolyList& list, ZertexList& vertices, GStringList& mips,
                                const Cupboard* materials) {
    LogConsole("PolyList::Create3DO.  Number of polys: %4d\n", list.Count());
    if (list.Empty()) {
        return nullptr;
    }
    if (list.Count() == 1) {
        const Poly& poly = list.items.front();
        if (poly.clipper) {
            return nullptr;
        }
        std::unique_ptr<Node5> primitive = TexturedPrimitive(poly, vertices, mips, materials);
        primitive->Dump();
        return primitive;
    }
    auto outer = std::make_unique<Node4>();
    if (ShareOneTexture(list, materials)) {
        outer->AppendChild(SharedTextureGroup(list, vertices, mips, materials));
    } else {
        AppendMixedTextures(*outer, list, vertices, mips, materials);
    }
    if (outer->childCount == 0) {
        return nullptr;
    }
    return outer;
}

}  // namespace tarvel
