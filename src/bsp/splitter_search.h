#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "bsp/geometry.h"

namespace tarvel {

// The polygon the splitter choice would take from complete counts: the
// lowest |in front - in back| among the clipper polygons if there are any,
// else among all, one that crosses nothing before one that does, the earlier
// of equal scores. Found without counting every pair: each candidate's plane
// is walked over a bounding-volume hierarchy only as deep as it takes to
// bound its score above the best one found, so most candidates are ruled out
// after a few groups. Leaves the counters alone, but gives the polygons
// spatial ranks if they have none. Planes must be computed, and
// there must be fewer than ten million polygons (so that every score is
// admitted); none for an empty list.
std::optional<std::size_t> SearchSplitter(std::vector<Poly>& polys, unsigned threads);

}  // namespace tarvel
