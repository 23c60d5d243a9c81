#include "bsp/search/plane_count.h"

#include <cmath>
#include <cstddef>

namespace tarvel {

namespace {

bool PlaneIsFinite(const Plane& p) {
    return std::isfinite(p.a) && std::isfinite(p.b) && std::isfinite(p.c) && std::isfinite(p.d);
}

// Polygons of a group that lies wholly on one side: those without corners
// cross everything, as PolySide has it.
void CountWhole(const PolyBvh::Node& node, Side side, SideCounts& counts) {
    counts[side] += node.count - node.cornerless;
    counts[Side::xdCrossing] += node.cornerless;
}

// Each polygon of a leaf by its corners, with the point test's arithmetic
// (the distance summed in double in the same order, rounded to float) done
// in one pass over the leaf's corners. A corner's bits: 1 in front, 2
// behind, neither on the plane or NaN. Polygons with every corner on the
// plane need the angle between the normals.
void CountLeaf(const std::vector<Poly>& polys, const PolyBvh& bvh, const PolyBvh::Node& leaf,
               const Plane& plane, std::vector<uint8_t>& bits, SideCounts& counts) {
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
        out[k] = CornerSideBits(dist);
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
            ++counts[OnPlaneSide(plane, poly.plane)];
            continue;
        }
        front += sides == kCornerInFront ? 1 : 0;
        back += sides == kCornerInBack ? 1 : 0;
        crossing += sides == kCrossingBits || from == to ? 1 : 0;
    }
    counts[Side::xdInFront] += front;
    counts[Side::xdInBack] += back;
    counts[Side::xdCrossing] += crossing;
}

// Every polygon of a group on the plane: the angle decides each one with
// corners, as PolySide has it.
void CountOnPlane(const std::vector<Poly>& polys, const PolyBvh& bvh, const PolyBvh::Node& node,
                  const Plane& plane, SideCounts& counts) {
    for (int32_t i = 0; i < node.count; ++i) {
        const auto index =
            static_cast<std::size_t>(bvh.order[static_cast<std::size_t>(node.first + i)]);
        const Poly& poly = polys[index];
        const Side side = poly.points.empty() ? Side::xdCrossing : OnPlaneSide(plane, poly.plane);
        ++counts[side];
    }
}

// A polygon of the leaf just counted whose corners lie on both sides, or
// which has none; -1 when only `owner` does.
int32_t CrossingIn(const PolyBvh& bvh, const PolyBvh::Node& leaf, const std::vector<uint8_t>& bits,
                   int32_t owner) {
    const auto first = static_cast<std::size_t>(leaf.first);
    const auto begin = static_cast<std::size_t>(bvh.cornerStart[first]);
    for (std::size_t i = first; i < first + static_cast<std::size_t>(leaf.count); ++i) {
        const auto from = static_cast<std::size_t>(bvh.cornerStart[i]) - begin;
        const auto to = static_cast<std::size_t>(bvh.cornerStart[i + 1]) - begin;
        uint8_t sides = 0;
        for (std::size_t k = from; k < to; ++k) {
            sides |= bits[k];
        }
        if ((sides == kCrossingBits || from == to) && bvh.order[i] != owner) {
            return bvh.order[i];
        }
    }
    return -1;
}

// A plane with an infinite or NaN coefficient decides no box.
PlaneCount CountOneByOne(const std::vector<Poly>& polys, const Plane& plane) {
    PlaneCount result;
    for (const Poly& poly : polys) {
        ++result.counts[PolySide(plane, poly)];
    }
    return result;
}

}  // namespace

PlaneCount CountAgainst(const std::vector<Poly>& polys, const PolyBvh& bvh, const Plane& plane,
                        const CountLimits& limits, CountScratch& scratch) {
    if (!PlaneIsFinite(plane)) {
        return CountOneByOne(polys, plane);
    }
    PlaneCount result;
    SideCounts& counts = result.counts;
    int32_t leaves = 0;
    const BoxClassifier classify(plane);
    auto& stack = scratch.stack;
    stack.assign(1, {0, 0});
    while (!stack.empty()) {
        const auto [index, depth] = stack.back();
        stack.pop_back();
        const PolyBvh::Node& node = bvh.nodes[static_cast<std::size_t>(index)];
        switch (classify(node.box)) {
            case BoxSide::Front:
                CountWhole(node, Side::xdInFront, counts);
                break;
            case BoxSide::Back:
                CountWhole(node, Side::xdInBack, counts);
                break;
            case BoxSide::On:
                CountOnPlane(polys, bvh, node, plane, counts);
                break;
            case BoxSide::Unknown:
                if (node.left < 0) {
                    if (leaves == limits.maxLeaves) {
                        result.end = CountEnd::TooManyLeaves;
                        return result;
                    }
                    ++leaves;
                    CountLeaf(polys, bvh, node, plane, scratch.bits, counts);
                    if (counts[Side::xdCrossing] > limits.maxCrossings) {
                        result.end = CountEnd::TooManyCrossings;
                        result.crossingPoly = CrossingIn(bvh, node, scratch.bits, limits.owner);
                        return result;
                    }
                } else if (depth < limits.maxDepth) {
                    stack.emplace_back(node.left, depth + 1);
                    stack.emplace_back(node.right, depth + 1);
                } else {
                    result.undecided += node.count;
                }
                break;
        }
        if (counts[Side::xdCrossing] > limits.maxCrossings) {
            result.end = CountEnd::TooManyCrossings;
            return result;
        }
    }
    return result;
}

}  // namespace tarvel
