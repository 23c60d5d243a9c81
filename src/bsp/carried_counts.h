#pragma once

// A child that inherits all but a few of its node's polygons would search
// nearly the same list over again: a chain of such nodes, one splitter
// peeled off at a time, costs the square of the list. Instead, the exact
// counters its polygons had in the node are brought up to date with what the
// child loses and gains. That gives the very values a fresh count would,
// for a few side tests per polygon.

#include <array>
#include <cstdint>
#include <vector>

#include "bsp/geometry.h"

namespace tarvel {

// Called before a node's sort, with the node's splitter plane, when its list
// may hold polygons whose counters are known (Poly::countsKnown). For each
// child whose list will differ little from the node's, the known counters of
// the polygons it inherits are made exact for its list; every other polygon
// is marked as not known. Returns PolySide of every polygon against the plane
// for the sort to use, or nothing when no polygon's counters were known.
std::vector<int32_t> CarryCounts(std::vector<Poly>& polys, const Plane& plane);

// Stores the counts of a complete walk (indexed by side code, the polygon's
// own side taken off) as the polygon's known counters.
void KeepCounts(Poly& poly, const std::array<int32_t, 6>& counts);

}  // namespace tarvel
