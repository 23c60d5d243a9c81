#pragma once

#include <optional>

#include "bsp/geometry.h"

namespace tarvel {

// The corner where the edge p1->p2 meets the plane, with all eight fields
// interpolated by the same parameter; none when the edge is parallel to the
// plane or the parameter falls outside [0, 1].
std::optional<APoint> IntersectEdge(const Plane& plane, const APoint& p1, const APoint& p2);

// Cuts source by plane into a front and a back piece. Corners on the plane go
// into both pieces, crossing points too; source is left as it is. The caller
// decides by the pieces' point counts what to keep. The cut is traced into
// the log file unless Quiet: a cut made only to foresee the sort's pieces
// must not show in the log twice.
enum class SplitTrace { Logged, Quiet };
void SplitPoly(const Poly& source, const Plane& plane, Poly& front, Poly& back,
               SplitTrace traced = SplitTrace::Logged);

}  // namespace tarvel
