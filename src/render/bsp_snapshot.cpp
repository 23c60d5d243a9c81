#include "render/bsp_snapshot.h"

#include <bit>
#include <cmath>
#include <unordered_set>

namespace tarvel::render {

namespace {

// Corners of the picked scene, by their exact bits: a corner that is not one
// of them was made by a cut.
class CornerSet {
  public:
    explicit CornerSet(const PolyList& polys) {
        seen_.reserve(polys.items.size() * 3);
        for (const Poly& poly : polys.items) {
            for (const APoint& p : poly.points) {
                seen_.insert(Key(p));
            }
        }
    }
    bool Has(const APoint& p) const { return seen_.count(Key(p)) != 0; }

  private:
    static uint64_t Key(const APoint& p) {
        const uint64_t x = std::bit_cast<uint32_t>(p.x), y = std::bit_cast<uint32_t>(p.y),
                       z = std::bit_cast<uint32_t>(p.z);
        return (x * 0x9E3779B97F4A7C15ull) ^ (y * 0xC2B2AE3D27D4EB4Full) ^ z;
    }
    std::unordered_set<uint64_t> seen_;
};

Vec3 Position(const APoint& p) {
    return {p.x, p.y, p.z};
}

double Distance(const Plane& plane, Vec3 p) {
    return plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d;
}

Bounds BoundsOf(const PolyList& polys) {
    Bounds b;
    for (const Poly& poly : polys.items) {
        for (const APoint& p : poly.points) {
            b.Add(Position(p));
        }
    }
    return b;
}

// The splitter plane as a rectangle covering the node's polygons.
std::array<Vec3, 4> PlaneQuad(const Plane& plane, const Bounds& box) {
    const Vec3 n = Normalised(Vec3{plane.a, plane.b, plane.c});
    const Vec3 c = box.Centre();
    const Vec3 origin = c - n * Distance(plane, c);
    const Vec3 helper = std::fabs(n.z) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
    const Vec3 u = Normalised(Cross(n, helper));
    const Vec3 v = Cross(n, u);
    double eu = 0, ev = 0;
    for (int k = 0; k < 8; ++k) {
        const Vec3 corner{(k & 1) ? box.max.x : box.min.x, (k & 2) ? box.max.y : box.min.y,
                          (k & 4) ? box.max.z : box.min.z};
        eu = std::fmax(eu, std::fabs(Dot(corner - origin, u)));
        ev = std::fmax(ev, std::fabs(Dot(corner - origin, v)));
    }
    eu *= 1.05;
    ev *= 1.05;
    return {origin - u * eu - v * ev, origin + u * eu - v * ev, origin + u * eu + v * ev,
            origin - u * eu + v * ev};
}

struct Walk {
    const CornerSet& originals;
    double tolerance;
    std::vector<Plane> path;  // splitters of the ancestors of the current node
    BspSnapshot out;

    bool OnAncestorPlane(const APoint& a, const APoint& b) const {
        for (const Plane& plane : path) {
            if (std::fabs(Distance(plane, Position(a))) <= tolerance &&
                std::fabs(Distance(plane, Position(b))) <= tolerance) {
                return true;
            }
        }
        return false;
    }

    void AddCutEdges(const Poly& poly) {
        const std::size_t n = poly.points.size();
        for (std::size_t i = 0; i < n; ++i) {
            const APoint& a = poly.points[i];
            const APoint& b = poly.points[(i + 1) % n];
            if ((!originals.Has(a) || !originals.Has(b)) && OnAncestorPlane(a, b)) {
                out.mesh.lines.push_back(MeshLine{Position(a), Position(b), kCutEdgeColour});
                ++out.cutEdges;
            }
        }
    }

    void AddList(const PolyList* list) {
        if (list == nullptr || list->Empty()) {
            return;
        }
        const Rgb colour = SpreadColour(out.leafLists++);
        for (const Poly& poly : list->items) {
            out.mesh.AddPoly(poly, colour, poly.clipper);
            bool split = false;
            for (const APoint& p : poly.points) {
                split = split || !originals.Has(p);
            }
            if (split) {
                ++out.splitPieces;
                AddCutEdges(poly);
            }
        }
    }

    void Visit(const BSPNode& node, int32_t depth) {
        SnapshotNode s;
        s.depth = depth;
        s.polys = node.polys.Count();
        s.inFront = node.infront ? node.infront->polys.Count() : 0;
        s.onFront = node.onfront ? node.onfront->Count() : 0;
        s.onBack = node.onback ? node.onback->Count() : 0;
        s.inBack = node.inback ? node.inback->polys.Count() : 0;
        s.flattened = node.flatList != nullptr;
        s.quad = PlaneQuad(node.plane, BoundsOf(node.polys));
        out.nodes.push_back(s);
        if (s.flattened) {
            AddList(node.flatList.get());
        } else {
            AddList(node.onfront.get());
            AddList(node.onback.get());
        }
    }
};

bool Built(const std::unique_ptr<BSPNode>& child) {
    return child && !child->polys.Empty();
}

}  // namespace

BspSnapshot TakeBspSnapshot(const BSPNode& root) {
    const CornerSet originals(root.polys);
    const double radius = BoundsOf(root.polys).Radius();
    Walk walk{originals, std::fmax(1e-3, radius * 1e-5), {}, {}};
    struct Item {
        const BSPNode* node;
        int32_t depth;
    };
    // Build order: a node, then its whole infront subtree, then inback. The
    // children of a flattened node were never built.
    std::vector<Item> stack{{&root, 1}};
    while (!stack.empty()) {
        const Item item = stack.back();
        stack.pop_back();
        walk.path.resize(static_cast<std::size_t>(item.depth - 1));
        walk.Visit(*item.node, item.depth);
        if (item.node->flatList) {
            continue;
        }
        walk.path.push_back(item.node->plane);
        if (Built(item.node->inback)) {
            stack.push_back({item.node->inback.get(), item.depth + 1});
        }
        if (Built(item.node->infront)) {
            stack.push_back({item.node->infront.get(), item.depth + 1});
        }
    }
    return std::move(walk.out);
}

}  // namespace tarvel::render
