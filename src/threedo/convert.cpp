#include "threedo/convert.h"

#include <algorithm>
#include <optional>

#include "bsp/geometry.h"
#include "log/log.h"

// convertNode: one plane node per BSP node, chosen by which of its four parts
// hold polygons.

namespace tarvel {

namespace {

// The pools and the table every step of the conversion fills.
struct Tables {
    ZertexList& vertices;
    ZertexList& planes;
    GStringList& mips;
    const Cupboard* materials;
    const BuildFollow* follow;  // null for a finished tree
    // Whether a node's polygons go once the node is converted: the BSP tree
    // then shrinks while the 3DO tree grows.
    bool freeConverted = false;
    // Where finished subtrees are written at once; null keeps the whole tree.
    PrimStream* prim = nullptr;
};

// A finished subtree, written to the stream when there is one.
std::unique_ptr<Node> Seal(std::unique_ptr<Node> subtree, const Tables& t) {
    if (t.prim == nullptr) {
        return subtree;
    }
    return t.prim->Seal(std::move(subtree), t.vertices, t.planes);
}

// The plane record of the list's first polygon, recomputed from its first
// three corners; nullopt for a missing or empty list and an all-zero plane.
// Pure, so that whether a node will be dropped is known before its children
// are converted.
std::optional<Zertex> ListPlane(const PolyList* list) {
    if (list == nullptr || list->Empty()) {
        return std::nullopt;
    }
    // Only the first polygon decides; the tree is only read, so its plane is
    // recomputed on a copy of its first three corners.
    const std::vector<APoint>& points = list->items.front().points;
    Poly probe;
    probe.points.assign(points.begin(),
                        points.begin() + std::min<std::ptrdiff_t>(3, std::ssize(points)));
    ComputePlane(probe);
    const Plane& p = probe.plane;
    if (p.a == 0.0f && p.b == 0.0f && p.c == 0.0f && p.d == 0.0f) {
        return std::nullopt;
    }
    return Zertex{p.d, p.a, p.b, p.c};
}

// A node without an onfront plane but with polygons behind and children
// carries the splitter its children were sorted against.
std::optional<Zertex> SplitterPlane(const Plane& plane) {
    if (plane.a == 0.0f && plane.b == 0.0f && plane.c == 0.0f && plane.d == 0.0f) {
        return std::nullopt;
    }
    return Zertex{plane.d, plane.a, plane.b, plane.c};
}

std::unique_ptr<Node> Convert(BSPNode& node, const Tables& t);

// A slot is filled whenever the BSP node has the part, whatever its flag says.
std::unique_ptr<Node> ConvertChild(const std::unique_ptr<BSPNode>& child, const Tables& t) {
    return child ? Convert(*child, t) : nullptr;
}

std::unique_ptr<Node> ConvertList(const std::unique_ptr<PolyList>& list, const Tables& t) {
    return Seal(list ? Create3DO(*list, t.vertices, t.mips, t.materials) : nullptr, t);
}

// The plane comes after the children (post-order); without one the node is
// dropped, while whatever the children entered into the tables stays there.
std::unique_ptr<Node> WithPlane(std::unique_ptr<PlaneNode> node, const std::optional<Zertex>& plane,
                                const Tables& t) {
    if (!plane) {
        return nullptr;
    }
    node->plane = t.planes.addPlane(*plane);
    return node;
}

std::unique_ptr<Node> OnFrontOnly(BSPNode& node, const Tables& t) {
    LogConsole("@@ type 6\n");
    const std::optional<Zertex> plane = ListPlane(node.onfront.get());
    const PrimStream::Discard dropped(t.prim, !plane);
    auto out = std::make_unique<Node6>();
    out->a = ConvertList(node.onfront, t);
    return WithPlane(std::move(out), plane, t);
}

// Polygons facing away only: a Node9 whose only child is b.
std::unique_ptr<Node> OnBackOnly(BSPNode& node, const Tables& t) {
    LogConsole("@@ type 6, reversed\n");
    const std::optional<Zertex> plane = ListPlane(node.onback.get());
    const PrimStream::Discard dropped(t.prim, !plane);
    auto out = std::make_unique<Node9>();
    out->b = ConvertList(node.onback, t);
    return WithPlane(std::move(out), plane, t);
}

// No polygons of its own: every NodeB appends a plane record (0, 1, 0, 0)
// of its own, without a search.
std::unique_ptr<Node> ChildrenOnly(BSPNode& node, const Tables& t) {
    LogConsole("@@ type B\n");
    auto out = std::make_unique<NodeB>();
    out->a = ConvertChild(node.infront, t);
    out->b = ConvertChild(node.inback, t);
    out->plane = t.planes.append(0.0, 0.0, 1.0, 0.0);
    return out;
}

std::unique_ptr<Node> OnFrontWithChildren(BSPNode& node, const Tables& t) {
    LogConsole("@@ type 9\n");
    const std::optional<Zertex> plane = ListPlane(node.onfront.get());
    const PrimStream::Discard dropped(t.prim, !plane);
    auto out = std::make_unique<Node9>();
    out->a = ConvertChild(node.infront, t);
    out->b = ConvertList(node.onfront, t);
    out->c = ConvertChild(node.inback, t);
    return WithPlane(std::move(out), plane, t);
}

std::unique_ptr<Node> AllParts(BSPNode& node, const NodeParts& p, const Tables& t) {
    LogConsole("@@ type 8\n");
    const std::optional<Zertex> plane =
        p.onFront ? ListPlane(node.onfront.get()) : SplitterPlane(node.plane);
    const PrimStream::Discard dropped(t.prim, !plane);
    auto out = std::make_unique<Node8>();
    out->a = ConvertChild(node.infront, t);
    out->b = ConvertList(node.onfront, t);
    out->c = ConvertList(node.onback, t);
    out->d = ConvertChild(node.inback, t);
    return WithPlane(std::move(out), plane, t);
}

}  // namespace

int32_t planeIndexOf(const PolyList* list, ZertexList& planes) {
    const std::optional<Zertex> plane = ListPlane(list);
    return plane ? planes.addPlane(*plane) : -1;
}

namespace {

std::unique_ptr<Node> ConvertParts(BSPNode& node, const Tables& t) {
    if (node.flatList && !node.flatList->Empty()) {
        return Create3DO(*node.flatList, t.vertices, t.mips, t.materials);
    }
    const NodeParts p = t.follow != nullptr ? node.parts : PartsOf(node);
    LogFile("## %4d %4d %4d %4d ##\n", int{p.inFront}, int{p.onFront}, int{p.onBack},
            int{p.inBack});
    const bool children = p.inFront || p.inBack;
    if (!children && !p.onFront && !p.onBack) {
        LogConsole("@@ type null\n");
        return nullptr;
    }
    if (!children && p.onFront && !p.onBack) {
        return OnFrontOnly(node, t);
    }
    if (!children && p.onBack && !p.onFront) {
        return OnBackOnly(node, t);
    }
    if (!p.onFront && !p.onBack) {
        return ChildrenOnly(node, t);
    }
    if (p.onFront && !p.onBack) {
        return OnFrontWithChildren(node, t);
    }
    return AllParts(node, p, t);
}

// The lists the conversion has read and the children of a flattened node,
// which it never reads. The build reads no more of a node it has published
// than its two child pointers, and keeps those of a flattened node alone.
void FreeConverted(BSPNode& node) {
    node.onfront.reset();
    node.onback.reset();
    if (node.flatList) {
        node.flatList.reset();
        node.infront.reset();
        node.inback.reset();
    }
}

std::unique_ptr<Node> Convert(BSPNode& node, const Tables& t) {
    ThrowIfStopped();
    if (t.follow != nullptr) {
        t.follow->Await(node);
    }
    std::unique_ptr<Node> out = ConvertParts(node, t);
    if (t.freeConverted) {
        FreeConverted(node);
    }
    return Seal(std::move(out), t);
}

}  // namespace

std::unique_ptr<Node> convertNode(BSPNode& node, ZertexList& vertices, ZertexList& planes,
                                  GStringList& mips, const Cupboard* materials, PrimStream* prim) {
    return Convert(node, Tables{vertices, planes, mips, materials, nullptr, false, prim});
}

std::unique_ptr<Node> convertNode(BSPNode& node, ZertexList& vertices, ZertexList& planes,
                                  GStringList& mips, const Cupboard* materials,
                                  const BuildFollow& follow, ConvertedNodes converted,
                                  PrimStream* prim) {
    return Convert(node, Tables{vertices, planes, mips, materials, &follow,
                                converted == ConvertedNodes::Free, prim});
}

}  // namespace tarvel
