#include "bsp/side_counting_fast.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <thread>
#include <unordered_map>

namespace tarvel {

namespace {

struct Box {
    double lo[3] = {0, 0, 0};
    double hi[3] = {0, 0, 0};
    bool finite = true;
};

Box BoxOf(const Poly& poly) {
    Box box;
    box.lo[0] = box.lo[1] = box.lo[2] = INFINITY;
    box.hi[0] = box.hi[1] = box.hi[2] = -INFINITY;
    for (const APoint& p : poly.points) {
        const double xyz[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; ++k) {
            box.finite = box.finite && std::isfinite(xyz[k]);
            box.lo[k] = std::min(box.lo[k], xyz[k]);
            box.hi[k] = std::max(box.hi[k], xyz[k]);
        }
    }
    return box;
}

void Grow(Box& into, const Box& other) {
    into.finite = into.finite && other.finite;
    for (int k = 0; k < 3; ++k) {
        into.lo[k] = std::min(into.lo[k], other.lo[k]);
        into.hi[k] = std::max(into.hi[k], other.hi[k]);
    }
}

// Where a box lies against a plane, decided only when certain.
enum class BoxSide { Front, Back, On, Unknown };

// The threshold as the point test applies it: the float 0.001 widened. A
// distance counts as on the plane only if it rounds to a float below it, so
// the "on" side of a box must stay at or below the float just under it.
constexpr double kTolerance = static_cast<double>(kOnPlaneEpsilon);
const double kBelowTolerance = static_cast<double>(std::nextafter(kOnPlaneEpsilon, 0.0f));

BoxSide Classify(const Plane& plane, const Box& box) {
    if (!box.finite) {
        return BoxSide::Unknown;
    }
    const double n[3] = {plane.a, plane.b, plane.c};
    double lo = plane.d, hi = plane.d, scale = std::fabs(static_cast<double>(plane.d));
    for (int k = 0; k < 3; ++k) {
        const double near = n[k] >= 0 ? box.lo[k] : box.hi[k];
        const double far = n[k] >= 0 ? box.hi[k] : box.lo[k];
        lo += n[k] * near;
        hi += n[k] * far;
        scale += std::fabs(n[k]) * std::max(std::fabs(box.lo[k]), std::fabs(box.hi[k]));
    }
    // The point test sums in double and rounds to float; its double result is
    // within a few units in the last place of `scale` of the exact distance,
    // and so are lo and hi. 1e-12 is a wide safety margin over that.
    const double margin = scale * 1e-12;
    if (lo - margin >= kTolerance) {
        return BoxSide::Front;
    }
    if (hi + margin <= -kTolerance) {
        return BoxSide::Back;
    }
    if (lo - margin >= -kBelowTolerance && hi + margin <= kBelowTolerance) {
        return BoxSide::On;
    }
    return BoxSide::Unknown;
}

using Counts = std::array<int32_t, 6>;

// A BVH over the polygons, stored flat; a node's polygons are the range
// [first, first + count) of `order`.
struct Bvh {
    struct Node {
        Box box;
        int32_t first = 0, count = 0;
        int32_t left = -1, right = -1;  // children, -1 for a leaf
    };
    std::vector<Node> nodes;
    std::vector<int32_t> order;
};

constexpr int32_t kLeafSize = 8;

Bvh BuildBvh(const std::vector<Box>& boxes) {
    Bvh bvh;
    bvh.order.resize(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        bvh.order[i] = static_cast<int32_t>(i);
    }
    struct Pending {
        int32_t node, first, count;
    };
    std::vector<Pending> work;
    bvh.nodes.push_back({});
    work.push_back({0, 0, static_cast<int32_t>(boxes.size())});
    while (!work.empty()) {
        const Pending job = work.back();
        work.pop_back();
        Box box = boxes[static_cast<std::size_t>(bvh.order[static_cast<std::size_t>(job.first)])];
        for (int32_t i = 1; i < job.count; ++i) {
            Grow(box, boxes[static_cast<std::size_t>(
                          bvh.order[static_cast<std::size_t>(job.first + i)])]);
        }
        Bvh::Node& node = bvh.nodes[static_cast<std::size_t>(job.node)];
        node.box = box;
        node.first = job.first;
        node.count = job.count;
        if (job.count <= kLeafSize) {
            continue;
        }
        int axis = 0;
        for (int k = 1; k < 3; ++k) {
            if (box.hi[k] - box.lo[k] > box.hi[axis] - box.lo[axis]) {
                axis = k;
            }
        }
        auto begin = bvh.order.begin() + job.first;
        auto middle = begin + job.count / 2;
        std::nth_element(begin, middle, begin + job.count, [&](int32_t x, int32_t y) {
            const Box& bx = boxes[static_cast<std::size_t>(x)];
            const Box& by = boxes[static_cast<std::size_t>(y)];
            // NaN-free ordering key: non-finite boxes sort by index.
            const double kx = bx.finite ? bx.lo[axis] + bx.hi[axis] : 0.0;
            const double ky = by.finite ? by.lo[axis] + by.hi[axis] : 0.0;
            return kx < ky || (kx == ky && x < y);
        });
        const int32_t half = job.count / 2;
        const int32_t left = static_cast<int32_t>(bvh.nodes.size());
        bvh.nodes.push_back({});
        bvh.nodes.push_back({});
        bvh.nodes[static_cast<std::size_t>(job.node)].left = left;
        bvh.nodes[static_cast<std::size_t>(job.node)].right = left + 1;
        work.push_back({left, job.first, half});
        work.push_back({left + 1, job.first + half, job.count - half});
    }
    return bvh;
}

struct Context {
    const std::vector<Poly>& polys;
    const std::vector<Box>& boxes;
    const Bvh& bvh;
};

bool PlaneIsFinite(const Plane& p) {
    return std::isfinite(p.a) && std::isfinite(p.b) && std::isfinite(p.c) && std::isfinite(p.d);
}

// PolySide for a polygon known to lie wholly on the plane.
int32_t OnPlaneSide(const Plane& plane, const Poly& poly) {
    if (poly.points.empty()) {
        return xdCrossing;
    }
    return PolySide(plane, poly);
}

void CountRange(const Context& ctx, const Plane& plane, int32_t first, int32_t count, int32_t code,
                Counts& counts) {
    for (int32_t i = 0; i < count; ++i) {
        const std::size_t j =
            static_cast<std::size_t>(ctx.bvh.order[static_cast<std::size_t>(first + i)]);
        if (code == xdOnEither) {
            ++counts[static_cast<std::size_t>(OnPlaneSide(plane, ctx.polys[j]))];
        } else if (ctx.polys[j].points.empty()) {
            ++counts[xdCrossing];
        } else {
            ++counts[static_cast<std::size_t>(code)];
        }
    }
}

// How every polygon lies against the plane, itself included.
Counts CountAgainst(const Context& ctx, const Plane& plane) {
    Counts counts{};
    if (!PlaneIsFinite(plane)) {
        for (const Poly& poly : ctx.polys) {
            ++counts[static_cast<std::size_t>(PolySide(plane, poly))];
        }
        return counts;
    }
    std::vector<int32_t> stack{0};
    while (!stack.empty()) {
        const Bvh::Node& node = ctx.bvh.nodes[static_cast<std::size_t>(stack.back())];
        stack.pop_back();
        switch (Classify(plane, node.box)) {
            case BoxSide::Front:
                CountRange(ctx, plane, node.first, node.count, xdInFront, counts);
                continue;
            case BoxSide::Back:
                CountRange(ctx, plane, node.first, node.count, xdInBack, counts);
                continue;
            case BoxSide::On:
                CountRange(ctx, plane, node.first, node.count, xdOnEither, counts);
                continue;
            case BoxSide::Unknown:
                break;
        }
        if (node.left >= 0) {
            stack.push_back(node.left);
            stack.push_back(node.right);
            continue;
        }
        for (int32_t i = 0; i < node.count; ++i) {
            const std::size_t j =
                static_cast<std::size_t>(ctx.bvh.order[static_cast<std::size_t>(node.first + i)]);
            ++counts[static_cast<std::size_t>(PolySide(plane, ctx.polys[j]))];
        }
    }
    return counts;
}

struct PlaneKey {
    uint32_t bits[4];
    bool operator==(const PlaneKey&) const = default;
};

struct PlaneKeyHash {
    std::size_t operator()(const PlaneKey& k) const {
        uint64_t h = 0x9E3779B97F4A7C15ull;
        for (uint32_t b : k.bits) {
            h = (h ^ b) * 0xBF58476D1CE4E5B9ull;
            h ^= h >> 31;
        }
        return static_cast<std::size_t>(h);
    }
};

PlaneKey KeyOf(const Plane& p) {
    return PlaneKey{{std::bit_cast<uint32_t>(p.a), std::bit_cast<uint32_t>(p.b),
                     std::bit_cast<uint32_t>(p.c), std::bit_cast<uint32_t>(p.d)}};
}

void StoreCounts(Poly& poly, Counts counts) {
    // The literal count runs over the other polygons only.
    --counts[static_cast<std::size_t>(PolySide(poly.plane, poly))];
    poly.countInFront = counts[xdInFront];
    poly.countInBack = counts[xdInBack];
    poly.countOnFront = counts[xdOnFront];
    poly.countOnBack = counts[xdOnBack];
    poly.countCrossing = counts[xdCrossing];
}

}  // namespace

void CountSidesFast(std::vector<Poly>& polys, unsigned threads) {
    std::vector<Box> boxes;
    boxes.reserve(polys.size());
    for (const Poly& poly : polys) {
        boxes.push_back(BoxOf(poly));
    }
    if (polys.empty()) {
        return;
    }
    const Bvh bvh = BuildBvh(boxes);
    const Context ctx{polys, boxes, bvh};

    // One representative polygon per distinct plane.
    std::unordered_map<PlaneKey, int32_t, PlaneKeyHash> planeIds;
    std::vector<int32_t> planeOf(polys.size());
    std::vector<Plane> planes;
    for (std::size_t i = 0; i < polys.size(); ++i) {
        auto [it, added] =
            planeIds.emplace(KeyOf(polys[i].plane), static_cast<int32_t>(planes.size()));
        if (added) {
            planes.push_back(polys[i].plane);
        }
        planeOf[i] = it->second;
    }

    std::vector<Counts> planeCounts(planes.size());
    auto work = [&](std::size_t begin, std::size_t step) {
        for (std::size_t p = begin; p < planes.size(); p += step) {
            planeCounts[p] = CountAgainst(ctx, planes[p]);
        }
    };
    const std::size_t workers = polys.size() >= 2048 ? std::max(1u, threads) : 1;
    if (workers <= 1) {
        work(0, 1);
    } else {
        std::vector<std::thread> pool;
        for (std::size_t t = 1; t < workers; ++t) {
            pool.emplace_back(work, t, workers);
        }
        work(0, workers);
        for (std::thread& thread : pool) {
            thread.join();
        }
    }
    for (std::size_t i = 0; i < polys.size(); ++i) {
        StoreCounts(polys[i], planeCounts[static_cast<std::size_t>(planeOf[i])]);
    }
}

}  // namespace tarvel
