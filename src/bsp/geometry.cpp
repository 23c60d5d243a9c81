#include "bsp/geometry.h"

#include <cmath>

#include "log/fast_format.h"
#include "log/log.h"

namespace tarvel {

namespace {

// Double arithmetic, one rounding to float at the end: the rounding point the
// side tests rely on.
float Distance(const Plane& p, double x, double y, double z) {
    const double dist = static_cast<double>(p.a) * x + static_cast<double>(p.b) * y +
                        static_cast<double>(p.c) * z + static_cast<double>(p.d);
    return static_cast<float>(dist);
}

float Diff(float a, float b) {
    return static_cast<float>(static_cast<double>(a) - b);
}

}  // namespace

float PlaneDistance(const Plane& plane, float x, float y, float z) {
    return Distance(plane, x, y, z);
}

void ComputePlane(Poly& poly) {
    if (poly.points.size() < 3) {
        ShowMessageBox("Can't calculate plane due to lack of points");
        poly.plane = Plane{0, 0, 0, 0};
        return;
    }
    const APoint& p0 = poly.points[0];
    const APoint& p1 = poly.points[1];
    const APoint& p2 = poly.points[2];
    const double e1x = Diff(p1.x, p0.x), e1y = Diff(p1.y, p0.y), e1z = Diff(p1.z, p0.z);
    const double e2x = Diff(p2.x, p0.x), e2y = Diff(p2.y, p0.y), e2z = Diff(p2.z, p0.z);
    const float nx = static_cast<float>(e1y * e2z - e1z * e2y);
    const float ny = static_cast<float>(e1z * e2x - e1x * e2z);
    const float nz = static_cast<float>(e1x * e2y - e1y * e2x);
    const double sumSquares =
        static_cast<double>(nx) * nx + static_cast<double>(ny) * ny + static_cast<double>(nz) * nz;
    const float len = static_cast<float>(std::sqrt(sumSquares));
    if (len == 0.0f || std::isnan(len)) {
        poly.plane = Plane{0, 0, 1, 0};
        return;
    }
    Plane plane;
    plane.a = static_cast<float>(static_cast<double>(nx) / len);
    plane.b = static_cast<float>(static_cast<double>(ny) / len);
    plane.c = static_cast<float>(static_cast<double>(nz) / len);
    plane.d = static_cast<float>(-(static_cast<double>(plane.a) * p1.x +
                                   static_cast<double>(plane.b) * p1.y +
                                   static_cast<double>(plane.c) * p1.z));
    poly.plane = plane;
}

Side PointSide(const Plane& plane, const APoint& point) {
    switch (CornerSideBits(Distance(plane, point.x, point.y, point.z))) {
        case kCornerInFront:
            return Side::xdInFront;
        case kCornerInBack:
            return Side::xdInBack;
        default:
            return Side::xdOnEither;
    }
}

Side PolySide(const Plane& plane, const Poly& poly) {
    // The point test's outcome as bits, without branching per corner.
    uint32_t sides = 0;
    for (const APoint& point : poly.points) {
        sides |= CornerSideBits(Distance(plane, point.x, point.y, point.z));
    }
    switch (sides) {
        case kCornerInFront:
            return Side::xdInFront;
        case kCornerInBack:
            return Side::xdInBack;
        case kCrossingBits:
            return Side::xdCrossing;
        default:
            break;
    }
    // No corners is no side either: the tests below ask for one on the plane.
    if (poly.points.empty()) {
        return Side::xdCrossing;
    }
    return OnPlaneSide(plane, poly.plane);
}

Side OnPlaneSide(const Plane& plane, const Plane& own) {
    const float dot = static_cast<float>(static_cast<double>(plane.a) * own.a +
                                         static_cast<double>(plane.b) * own.b +
                                         static_cast<double>(plane.c) * own.c);
    if (dot > 1.0f || dot < -1.0f) {
        return Side::xdOnEither;
    }
    // Away from a right angle the sign of the cosine decides: at |dot| of
    // 0.001 the angle is 90 -+ 0.057 degrees, far from rounding to 90.
    if (dot >= 0.001f) {
        return Side::xdOnFront;
    }
    if (dot <= -0.001f) {
        return Side::xdOnBack;
    }
    const float angle = static_cast<float>(std::acos(static_cast<double>(dot)) * 57.295779513);
    return angle < 90.0f ? Side::xdOnFront : Side::xdOnBack;
}

int32_t SegmentSide(const Plane& plane, float x1, float y1, float z1, float x2, float y2, float z2,
                    float& t) {
    const float d1 = Distance(plane, x1, y1, z1);
    const float d2 = Distance(plane, x2, y2, z2);
    if (d1 > 0 && d2 > 0) {
        return 2;
    }
    if (d1 < 0 && d2 < 0) {
        return 3;
    }
    if (d1 == 0 && d2 == 0) {
        return 4;
    }
    // Only the sum is rounded; the differences stay double.
    const float denom =
        static_cast<float>(static_cast<double>(plane.a) * (static_cast<double>(x1) - x2) +
                           static_cast<double>(plane.b) * (static_cast<double>(y1) - y2) +
                           static_cast<double>(plane.c) * (static_cast<double>(z1) - z2));
    if (denom == 0) {
        return 0;
    }
    t = static_cast<float>(static_cast<double>(d1) / denom);
    return 1;
}

const char* SideName(Side side) {
    static const char* const kNames[] = {"xdInFront", "xdInBack",   "xdOnFront",
                                         "xdOnBack",  "xdOnEither", "xdCrossing"};
    const auto code = static_cast<int32_t>(side);
    return code >= 0 && code <= 5 ? kNames[code] : "?";
}

void AppendPoint(std::string& out, const APoint& p) {
    out.append("    (");
    AppendFixed(out, p.x, 8, 3);
    out.append(", ");
    AppendFixed(out, p.y, 8, 3);
    out.append(", ");
    AppendFixed(out, p.z, 8, 3);
    out.append(") tx(");
    AppendFixed(out, p.u, 8, 5);
    out.append(", ");
    AppendFixed(out, p.v, 8, 5);
    out.append("), (");
    AppendFixed(out, p.r, 8, 6);
    out.append(", ");
    AppendFixed(out, p.g, 8, 6);
    out.append(", ");
    AppendFixed(out, p.b, 8, 6);
    out.append(")\n");
}

void AppendPoly(std::string& out, const Poly& poly) {
    const Plane& pl = poly.plane;
    out.append("  Plane (");
    AppendFixed(out, pl.a, 11, 3);
    out.append(", ");
    AppendFixed(out, pl.b, 11, 3);
    out.append(", ");
    AppendFixed(out, pl.c, 11, 3);
    out.append(") ");
    AppendFixed(out, pl.d, 11, 3);
    out.append("\n  InFront: ");
    AppendInt(out, poly.countInFront, 3);
    out.append(", InBack: ");
    AppendInt(out, poly.countInBack, 3);
    out.append(", OnFront: ");
    AppendInt(out, poly.countOnFront, 3);
    out.append(", OnBack: ");
    AppendInt(out, poly.countOnBack, 3);
    out.append(", Crossing: ");
    AppendInt(out, poly.countCrossing, 3);
    out.push_back('\n');
    for (const APoint& point : poly.points) {
        AppendPoint(out, point);
    }
}

void DumpPoint(const APoint& p) {
    LogFileWrite([&p](std::string& out) { AppendPoint(out, p); });
}

void DumpPoly(const Poly& poly) {
    LogFileWrite([&poly](std::string& out) { AppendPoly(out, poly); });
}

}  // namespace tarvel
