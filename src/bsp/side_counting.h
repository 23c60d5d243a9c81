#pragma once

#include <vector>

#include "bsp/bsp_builder.h"
#include "bsp/geometry.h"

namespace tarvel {

// Fills the five counters of every polygon with how each other polygon lies
// against its plane (xdOnEither is not counted). Planes must be computed.
void CountSides(std::vector<Poly>& polys, BuildStrategy strategy);

// The threads a node's counting may use.
unsigned MachineCores();

// The reference: PolySide on every ordered pair, n*(n-1) calls.
void CountSidesLiteral(std::vector<Poly>& polys);

}  // namespace tarvel
