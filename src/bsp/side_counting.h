#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bsp/bsp_builder.h"
#include "bsp/geometry.h"

namespace tarvel {

// Counts one polygon's side into the counters of the one whose plane it was
// tested against (by -1 takes it off again); xdOnEither is not counted.
inline void TallySide(Poly& into, Side side, int32_t by = 1) {
    switch (side) {
        case Side::xdInFront:
            into.countInFront += by;
            break;
        case Side::xdInBack:
            into.countInBack += by;
            break;
        case Side::xdOnFront:
            into.countOnFront += by;
            break;
        case Side::xdOnBack:
            into.countOnBack += by;
            break;
        case Side::xdCrossing:
            into.countCrossing += by;
            break;
        default:
            break;  // xdOnEither takes no side
    }
}

// Fills the five counters of every polygon with how each other polygon lies
// against its plane (xdOnEither is not counted). Planes must be computed.
void CountSides(std::vector<Poly>& polys, BuildStrategy strategy);

// The counters of polys[i] alone, from PolySide of every other polygon.
void CountSidesOf(std::vector<Poly>& polys, std::size_t i);

// The reference: PolySide on every ordered pair, n*(n-1) calls.
void CountSidesLiteral(std::vector<Poly>& polys);

}  // namespace tarvel
