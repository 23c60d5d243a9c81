#include "bsp/side_counting_fast.h"

#include "bsp/poly_bvh.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <thread>
#include <unordered_map>

namespace tarvel {

namespace {

using Counts = std::array<int32_t, 6>;

bool PlaneIsFinite(const Plane& p) {
    return std::isfinite(p.a) && std::isfinite(p.b) && std::isfinite(p.c) && std::isfinite(p.d);
}

// Polygons of a group that lies wholly on one side: those without corners
// cross everything, as PolySide has it.
void CountWhole(const PolyBvh::Node& node, int32_t side, Counts& counts) {
    counts[static_cast<std::size_t>(side)] += node.count - node.cornerless;
    counts[xdCrossing] += node.cornerless;
}

// Each polygon of a leaf by its corners, with the point test's arithmetic
// (the distance summed in double in the same order, rounded to float) done
// in one pass over the leaf's corners. A corner's bits: 1 in front, 2
// behind, neither on the plane or NaN. Polygons with every corner on the
// plane need the angle between the normals and go through PolySide.
void CountLeaf(const std::vector<Poly>& polys, const PolyBvh& bvh, const PolyBvh::Node& leaf,
               const Plane& plane, std::vector<uint8_t>& bits, Counts& counts) {
    const auto first = static_cast<std::size_t>(leaf.first);
    const auto last = first + static_cast<std::size_t>(leaf.count);
    const auto begin = static_cast<std::size_t>(bvh.cornerStart[first]);
    const auto end = static_cast<std::size_t>(bvh.cornerStart[last]);
    bits.resize(end - begin);
    // Distinct arrays: without saying so, the byte stores could alias the
    // coordinates and the loop would not be vectorised.
    const float* __restrict xs = bvh.x.data() + begin;
    const float* __restrict ys = bvh.y.data() + begin;
    const float* __restrict zs = bvh.z.data() + begin;
    uint8_t* __restrict out = bits.data();
    const double a = plane.a, b = plane.b, c = plane.c, d = plane.d;
    for (std::size_t k = 0; k < end - begin; ++k) {
        const auto dist =
            static_cast<float>(a * static_cast<double>(xs[k]) + b * static_cast<double>(ys[k]) +
                               c * static_cast<double>(zs[k]) + d);
        out[k] = static_cast<uint8_t>((dist >= kOnPlaneEpsilon ? 1 : 0) |
                                      (dist <= -kOnPlaneEpsilon ? 2 : 0));
    }
    // Tallies in locals, not in `counts`: consecutive increments of one
    // counter in memory would wait on each other.
    int32_t front = 0, back = 0, crossing = 0;
    for (std::size_t i = first; i < last; ++i) {
        const auto from = static_cast<std::size_t>(bvh.cornerStart[i]) - begin;
        const auto to = static_cast<std::size_t>(bvh.cornerStart[i + 1]) - begin;
        uint8_t sides = 0;
        for (std::size_t k = from; k < to; ++k) {
            sides |= out[k];
        }
        if (sides == 0 && from != to) {
            const Poly& poly = polys[static_cast<std::size_t>(bvh.order[i])];
            ++counts[static_cast<std::size_t>(PolySide(plane, poly))];
            continue;
        }
        front += sides == 1 ? 1 : 0;
        back += sides == 2 ? 1 : 0;
        crossing += sides == 3 || from == to ? 1 : 0;
    }
    counts[xdInFront] += front;
    counts[xdInBack] += back;
    counts[xdCrossing] += crossing;
}

// Every polygon of a group on the plane: the angle decides each one.
void CountOnPlane(const std::vector<Poly>& polys, const PolyBvh& bvh, const PolyBvh::Node& node,
                  const Plane& plane, Counts& counts) {
    for (int32_t i = 0; i < node.count; ++i) {
        const auto index =
            static_cast<std::size_t>(bvh.order[static_cast<std::size_t>(node.first + i)]);
        ++counts[static_cast<std::size_t>(PolySide(plane, polys[index]))];
    }
}

// How every polygon lies against the plane, itself included.
Counts CountAgainst(const std::vector<Poly>& polys, const PolyBvh& bvh, const Plane& plane,
                    std::vector<uint8_t>& bits) {
    Counts counts{};
    if (!PlaneIsFinite(plane)) {
        for (const Poly& poly : polys) {
            ++counts[static_cast<std::size_t>(PolySide(plane, poly))];
        }
        return counts;
    }
    std::vector<int32_t> stack{0};
    while (!stack.empty()) {
        const PolyBvh::Node& node = bvh.nodes[static_cast<std::size_t>(stack.back())];
        stack.pop_back();
        switch (Classify(plane, node.box)) {
            case BoxSide::Front:
                CountWhole(node, xdInFront, counts);
                break;
            case BoxSide::Back:
                CountWhole(node, xdInBack, counts);
                break;
            case BoxSide::On:
                CountOnPlane(polys, bvh, node, plane, counts);
                break;
            case BoxSide::Unknown:
                if (node.left >= 0) {
                    stack.push_back(node.left);
                    stack.push_back(node.right);
                } else {
                    CountLeaf(polys, bvh, node, plane, bits, counts);
                }
                break;
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
    if (polys.empty()) {
        return;
    }
    const PolyBvh bvh = BuildPolyBvh(polys);

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
        std::vector<uint8_t> bits;
        for (std::size_t p = begin; p < planes.size(); p += step) {
            planeCounts[p] = CountAgainst(polys, bvh, planes[p], bits);
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
