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

#include "bsp/bsp_node.h"
#include "bsp/geometry.h"
#include "bsp/search/search_cache.h"

namespace tarvel {

// Called before a node's sort, with the node's splitter plane, when its list
// may hold polygons whose counters the cache says are known. For each
// child whose list will differ little from the node's, the known counters of
// the polygons it inherits are made exact for its list; every other polygon
// is marked as not known. Returns PolySide of every polygon against the plane
// for the sort to use, or nothing when no polygon's counters were known.
std::vector<Side> CarryCounts(std::vector<Poly>& polys, SearchCache& cache, const Plane& plane);

// The same for a build whose log dumps every list with its counters. The
// node's sort still shows the counters its polygons have in the node, so
// the carried ones are held aside until the sort is done.
class CountsPastTheSort {
  public:
    // Before the node's sort, with every counter of the list known. Returns
    // what CarryCounts returns; the polygons keep their node's counters.
    std::vector<Side> Carry(std::vector<Poly>& polys, SearchCache& cache, const Plane& plane);
    // After the sort: the carried counters go to the polygons the node's
    // children inherited. Nothing without a Carry before.
    void Hand(BSPNode& node, const SearchCache& cache) const;

  private:
    using Counters = std::array<int32_t, 5>;
    static Counters Of(const Poly& poly);
    static void Set(Poly& poly, const Counters& counters);
    static void HandTo(BSPNode* child, const SearchCache& cache,
                       const std::vector<Counters>& carried);

    bool carried_ = false;
    std::vector<Counters> front_, back_;
};

// Makes every polygon's counters exact for the list: those not known yet
// (cut pieces, the polygons of a child nothing was carried into) are
// counted, one by one when they are few, else the whole list afresh.
void CountUnknownSides(std::vector<Poly>& polys, SearchCache& cache, unsigned threads);

// Stores the counts of a complete walk (indexed by side code, the polygon's
// own side taken off) as the polygon's known counters.
void KeepCounts(Poly& poly, const SideCounts& counts, SearchCache& cache);

}  // namespace tarvel
