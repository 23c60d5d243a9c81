#include "bsp/split_poly.h"

#include <cstddef>

#include "log/fast_format.h"
#include "log/log.h"

namespace tarvel {

namespace {

float Lerp(float from, float to, float t) {
    return static_cast<float>(from + (static_cast<double>(to) - from) * t);
}

// The point test's names; an on-plane corner is spelled as the split trace
// has always spelled it.
const char* PointSideName(Side side) {
    switch (side) {
        case Side::xdInFront:
            return "xdInFront";
        case Side::xdInBack:
            return "xdInBack";
        default:
            return "xdONeither";
    }
}

void StartPiece(const Poly& source, Poly& piece) {
    piece = Poly{};
    piece.clipper = source.clipper;
    piece.material = source.material;
    piece.subMaterial = source.subMaterial;
    piece.polyClass = source.polyClass;
}

void TraceEdge(std::size_t i, std::size_t next, const APoint& cur, const APoint& nxt, Side s1,
               Side s2) {
    LogFileWrite([&](std::string& out) {
        out.append("Points ");
        AppendInt(out, static_cast<int>(i), 3);
        out.append(" & ");
        AppendInt(out, static_cast<int>(next), 4);
        out.append(":\n");
        AppendPoint(out, cur);
        AppendPoint(out, nxt);
        out.append("Side1: ");
        AppendInt(out, static_cast<int32_t>(s1), 0);
        out.append(" (");
        out.append(PointSideName(s1));
        out.append(")\nSide2: ");
        AppendInt(out, static_cast<int32_t>(s2), 0);
        out.append(" (");
        out.append(PointSideName(s2));
        out.append(")\n");
    });
}

// One row of the edge table: what the edge cur->next hands to each piece.
void SplitEdge(const APoint& cur, const APoint& next, Side s1, Side s2, const Plane& plane,
               Poly& front, Poly& back, bool trace) {
    const auto say = [trace](const char* line) {
        if (trace) {
            LogFileText(line);
        }
    };
    if (s1 == Side::xdOnEither) {
        say(s2 == Side::xdInBack    ? "On to Back, adding to both.\n"
            : s2 == Side::xdInFront ? "On to Front, adding to both.\n"
                                    : "On to On, adding to both.\n");
        front.points.push_back(cur);
        back.points.push_back(cur);
        return;
    }
    Poly& own = s1 == Side::xdInFront ? front : back;
    Poly& other = s1 == Side::xdInFront ? back : front;
    if (s2 == s1) {
        say(s1 == Side::xdInFront ? "Segment all on front, adding to infront.\n"
                                  : "Segment all on back, adding to inback.\n");
        own.points.push_back(cur);
    } else if (s2 == Side::xdOnEither) {
        say(s1 == Side::xdInFront ? "Front to On, adding to infront.\n"
                                  : "Back to On, adding to inback.\n");
        own.points.push_back(cur);
    } else {
        say(s1 == Side::xdInFront
                ? "Crossing front to back, adding to infront & adding crossing point.\n"
                : "Crossing back to front, adding to inback & adding crossing point.\n");
        own.points.push_back(cur);
        if (const std::optional<APoint> x = IntersectEdge(plane, cur, next)) {
            own.points.push_back(*x);
            other.points.push_back(*x);
        }
    }
}

}  // namespace

std::optional<APoint> IntersectEdge(const Plane& plane, const APoint& p1, const APoint& p2) {
    const double a = plane.a, b = plane.b, c = plane.c;
    const float denom = static_cast<float>(a * (static_cast<double>(p1.x) - p2.x) +
                                           b * (static_cast<double>(p1.y) - p2.y) +
                                           c * (static_cast<double>(p1.z) - p2.z));
    const float num = PlaneDistance(plane, p1.x, p1.y, p1.z);
    if (denom == 0.0f) {
        return std::nullopt;
    }
    const float t = static_cast<float>(static_cast<double>(num) / denom);
    // Written so that a NaN parameter (an infinite corner) is refused too,
    // rather than making a corner of NaNs.
    if (!(t >= 0.0f && t <= 1.0f)) {
        return std::nullopt;
    }
    return APoint{Lerp(p1.x, p2.x, t), Lerp(p1.y, p2.y, t), Lerp(p1.z, p2.z, t),
                  Lerp(p1.u, p2.u, t), Lerp(p1.v, p2.v, t), Lerp(p1.r, p2.r, t),
                  Lerp(p1.g, p2.g, t), Lerp(p1.b, p2.b, t)};
}

void SplitPoly(const Poly& source, const Plane& plane, Poly& front, Poly& back, SplitTrace traced) {
    StartPiece(source, front);
    StartPiece(source, back);
    // The trace is the hot path of a large build's log: format nothing when
    // no one takes it.
    const bool trace = traced == SplitTrace::Logged && LogFileActive();
    const std::size_t count = source.points.size();
    if (trace) {
        LogFileWrite([count](std::string& out) {
            out.append("Splitting polygon of ");
            AppendInt(out, static_cast<int>(count), 0);
            out.append(" points...\n");
        });
        DumpPoly(source);
        LogFileText("------------------\n");
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t n = i + 1 < count ? i + 1 : 0;
        const APoint& cur = source.points[i];
        const APoint& next = source.points[n];
        const Side s1 = PointSide(plane, cur);
        const Side s2 = PointSide(plane, next);
        if (trace) {
            TraceEdge(i, n, cur, next, s1, s2);
        }
        SplitEdge(cur, next, s1, s2, plane, front, back, trace);
    }
}

}  // namespace tarvel
