#pragma once

// Polygon corners, planes and polygons. Everything stored is single
// precision; arithmetic is done in double and narrowed to float exactly where
// the side tests need it, because their thresholds apply to the float values.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bsp/side_test.h"

namespace tarvel {

struct APoint {
    float x = 0, y = 0, z = 0;  // position
    float u = 0, v = 0;         // texture coordinates
    float r = 0, g = 0, b = 0;  // colour
};

// a*x + b*y + c*z + d = 0 with (a, b, c) the unit normal.
struct Plane {
    float a = 0, b = 0, c = 1, d = 0;
};

// Side codes shared by the point and the polygon test. The values are what
// the log prints and where a count by side is kept.
enum class Side : int32_t {
    xdInFront = 0,
    xdInBack = 1,
    xdOnFront = 2,
    xdOnBack = 3,
    xdOnEither = 4,
    xdCrossing = 5,
};

// A count per side code. Indexed by Side only, so that no other number can
// pick a counter; the array stays plain for the counting loops.
struct SideCounts {
    std::array<int32_t, 6> bySide{};

    int32_t& operator[](Side side) { return bySide[static_cast<std::size_t>(side)]; }
    int32_t operator[](Side side) const { return bySide[static_cast<std::size_t>(side)]; }
};

// A convex polygon: a triangle from the scene, or a piece cut from one.
struct Poly {
    std::vector<APoint> points;
    Plane plane;
    int32_t material = 0;
    int32_t subMaterial = 0;
    int32_t polyClass = 0;
    bool clipper = false;
    int32_t countInFront = 0;
    int32_t countInBack = 0;
    int32_t countOnFront = 0;
    int32_t countOnBack = 0;
    int32_t countCrossing = 0;
    // The polygon's entry in the search cache of the fast build it is part
    // of (SearchCache), -1 outside one. Pieces get entries of their own.
    int32_t memoKey = -1;

    void ResetCounters() {
        countInFront = countInBack = countOnFront = countOnBack = countCrossing = 0;
    }
};

float PlaneDistance(const Plane& plane, float x, float y, float z);
void ComputePlane(Poly& poly);
Side PointSide(const Plane& plane, const APoint& point);
inline Side PointSide(const Poly& poly, const APoint& point) {
    return PointSide(poly.plane, point);
}
Side PolySide(const Plane& plane, const Poly& poly);
// The side of a polygon whose every corner lies on `plane`, from the angle
// between the plane and its own: xdOnFront, xdOnBack, or xdOnEither when
// the normals' dot product is out of range.
Side OnPlaneSide(const Plane& plane, const Plane& own);
inline Side PolySide(const Poly& against, const Poly& poly) {
    return PolySide(against.plane, poly);
}
// Classifies the segment p1->p2 exactly (no tolerance): 2 both in front,
// 3 both behind, 4 both in the plane, 0 parallel, 1 crossing with t written.
int32_t SegmentSide(const Plane& plane, float x1, float y1, float z1, float x2, float y2, float z2,
                    float& t);

// The name of a polygon side code, as the log spells it.
const char* SideName(Side side);

// Dumps into the log file.
// The dump text of a point or a polygon (plane, counters, points).
void AppendPoint(std::string& out, const APoint& point);
void AppendPoly(std::string& out, const Poly& poly);
void DumpPoint(const APoint& point);
void DumpPoly(const Poly& poly);

}  // namespace tarvel
