#pragma once

#include <vector>

#include "bsp/geometry.h"
#include "bsp/search/search_cache.h"

namespace tarvel {

// Fills the five counters of every polygon with how the other polygons lie
// against its plane, exactly as classifying every ordered pair with PolySide
// would, but without touching most pairs:
// - polygons whose planes are bit-identical share one count, minus their own
//   classification;
// - a bounding-volume hierarchy over the polygons lets a whole group whose box
//   lies farther than the tolerance from a plane (with a margin for the
//   rounding of the distance) count as in front or behind at once, and the
//   groups it cannot decide are tested corner by corner in one vectorised
//   pass over their stored coordinates;
// - the planes are shared out between up to `threads` threads.
// Polygon planes must already be computed. With a cache, the hierarchy
// follows the spatial ranks it holds, or gives them, as the search's does.
void CountSidesFast(std::vector<Poly>& polys, unsigned threads, SearchCache* cache = nullptr);

}  // namespace tarvel
