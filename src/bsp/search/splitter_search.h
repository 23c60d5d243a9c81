#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "bsp/geometry.h"
#include "bsp/search/search_cache.h"

namespace tarvel {

// Every score stays below the choice's ceilings up to this many polygons.
inline constexpr std::size_t kMaxSearchedPolys = 9'999'999;

// The polygon the splitter choice would take from complete counts: the
// lowest |in front - in back| among the clipper polygons if there are any,
// else among all, one that crosses nothing before one that does, the earlier
// of equal scores. Found without counting every pair: each candidate's plane
// is walked over a bounding-volume hierarchy only as deep as it takes to
// bound its score above the best one found, so most candidates are ruled out
// after a few groups. Candidates whose counters the cache says are known
// are taken as they are; those it counts exactly get their counters filled
// and marked known, for a child to carry. It gives the polygons spatial
// ranks when it builds a hierarchy and they have none. Every polygon needs
// an entry in the cache, planes must be computed, and there must be no more
// than kMaxSearchedPolys polygons; none for an empty list.
std::optional<std::size_t> SearchSplitter(std::vector<Poly>& polys, SearchCache& cache,
                                          unsigned threads);

}  // namespace tarvel
