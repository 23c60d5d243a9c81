#include "bsp/carried_counts.h"

#include <algorithm>
#include <cstddef>

#include "bsp/share_out.h"
#include "bsp/side_counting.h"
#include "bsp/split_poly.h"

namespace tarvel {

namespace {

// A child's counters are carried when what it loses and gains is at most
// this share of what it keeps; otherwise its own search is cheaper than a
// side test per change and kept polygon.
constexpr std::size_t kChangeShare = 16;
// Below this many side tests one thread does the update.
constexpr std::size_t kThreadedTests = 1 << 16;

// What the child on one side of the plane inherits, loses and gains.
struct ChildChange {
    std::vector<std::size_t> kept;  // positions of the polygons with known counters it inherits
    std::vector<const Poly*> lost;  // every polygon of the node it does not inherit
    std::vector<Poly> gained;       // the pieces cut off for it
};

ChildChange ChangeFor(const std::vector<Poly>& polys, const Plane& plane,
                      const std::vector<int32_t>& sides, int32_t childSide) {
    ChildChange change;
    for (std::size_t k = 0; k < polys.size(); ++k) {
        if (sides[k] == childSide) {
            if (polys[k].countsKnown) {
                change.kept.push_back(k);
            }
            continue;
        }
        change.lost.push_back(&polys[k]);
        if (sides[k] == xdCrossing) {
            // The same cut the sort makes: the same pieces.
            Poly front, back;
            SplitPoly(polys[k], plane, front, back);
            Poly& piece = childSide == xdInFront ? front : back;
            if (piece.points.size() > 2) {
                change.gained.push_back(std::move(piece));
            }
        }
    }
    return change;
}

void Update(std::vector<Poly>& polys, const ChildChange& change) {
    const auto update = [&](std::size_t begin, std::size_t step) {
        for (std::size_t i = begin; i < change.kept.size(); i += step) {
            Poly& poly = polys[change.kept[i]];
            for (const Poly* other : change.lost) {
                TallySide(poly, PolySide(poly.plane, *other), -1);
            }
            for (const Poly& piece : change.gained) {
                TallySide(poly, PolySide(poly.plane, piece));
            }
        }
    };
    const std::size_t tests = change.kept.size() * (change.lost.size() + change.gained.size());
    ShareOut(tests >= kThreadedTests ? MachineCores() : 1, update);
}

// Carries the counters into the child on one side, or marks its polygons
// as not known when that does not pay.
void CarryInto(std::vector<Poly>& polys, const Plane& plane, const std::vector<int32_t>& sides,
               int32_t childSide, std::size_t crossing) {
    const auto inherited =
        static_cast<std::size_t>(std::count(sides.begin(), sides.end(), childSide));
    const std::size_t changes = polys.size() - inherited + crossing;
    if (inherited > 0 && changes * kChangeShare <= inherited) {
        Update(polys, ChangeFor(polys, plane, sides, childSide));
        return;
    }
    for (std::size_t k = 0; k < polys.size(); ++k) {
        if (sides[k] == childSide) {
            polys[k].countsKnown = false;
        }
    }
}

}  // namespace

std::vector<int32_t> CarryCounts(std::vector<Poly>& polys, const Plane& plane) {
    if (std::none_of(polys.begin(), polys.end(),
                     [](const Poly& poly) { return poly.countsKnown; })) {
        return {};
    }
    std::vector<int32_t> sides(polys.size());
    std::size_t crossing = 0;
    for (std::size_t k = 0; k < polys.size(); ++k) {
        sides[k] = PolySide(plane, polys[k]);
        crossing += sides[k] == xdCrossing ? 1 : 0;
    }
    // Counted against all of the node's polygons first, the ones that go
    // to the on-plane lists or are cut are known no more.
    for (std::size_t k = 0; k < polys.size(); ++k) {
        if (sides[k] != xdInFront && sides[k] != xdInBack) {
            polys[k].countsKnown = false;
        }
    }
    CarryInto(polys, plane, sides, xdInFront, crossing);
    CarryInto(polys, plane, sides, xdInBack, crossing);
    return sides;
}

void KeepCounts(Poly& poly, const std::array<int32_t, 6>& counts) {
    poly.countInFront = counts[xdInFront];
    poly.countInBack = counts[xdInBack];
    poly.countOnFront = counts[xdOnFront];
    poly.countOnBack = counts[xdOnBack];
    poly.countCrossing = counts[xdCrossing];
    poly.countsKnown = true;
}

}  // namespace tarvel
