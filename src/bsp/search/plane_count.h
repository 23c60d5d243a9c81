#pragma once

// How the polygons of a node lie against one plane, counted over their
// bounding-volume hierarchy: exactly as PolySide would classify each of them,
// or, when the walk is cut short, as bounds on those counts.

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "bsp/geometry.h"
#include "bsp/search/poly_bvh.h"

namespace tarvel {

struct CountLimits {
    // Groups the plane cannot decide below this depth of the hierarchy are
    // left undecided instead of opened.
    int32_t maxDepth = std::numeric_limits<int32_t>::max();
    // The walk stops as soon as more than this many polygons cross.
    int32_t maxCrossings = std::numeric_limits<int32_t>::max();
    // The walk gives up after testing this many leaves one polygon at a time.
    int32_t maxLeaves = std::numeric_limits<int32_t>::max();
    // The polygon whose plane it is, if one: never named as the crossing one.
    int32_t owner = -1;
};

enum class CountEnd { Complete, TooManyCrossings, TooManyLeaves };

struct PlaneCount {
    // The polygons decided so far, by side.
    SideCounts counts{};
    // The polygons in groups left undecided at the depth limit: each may take
    // any side. Zero after a complete walk without a depth limit.
    int32_t undecided = 0;
    CountEnd end = CountEnd::Complete;
    // After TooManyCrossings, when a leaf test found it: a polygon other than
    // the owner that crosses the plane; -1 otherwise.
    int32_t crossingPoly = -1;
};

// Buffers a walk reuses, so that counting many planes allocates once.
struct CountScratch {
    std::vector<uint8_t> bits;
    std::vector<std::pair<int32_t, int32_t>> stack;  // node, depth
};

// Every polygon of polys counted against plane, itself included. The counts
// are exact when the walk ends Complete with nothing undecided.
PlaneCount CountAgainst(const std::vector<Poly>& polys, const PolyBvh& bvh, const Plane& plane,
                        const CountLimits& limits, CountScratch& scratch);

}  // namespace tarvel
