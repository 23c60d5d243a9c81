#include "bsp/search/carried_counts.h"

#include <algorithm>
#include <cassert>
#include <cstddef>

#include "bsp/parallel/share_out.h"
#include "bsp/search/side_counting_fast.h"
#include "bsp/side_counting.h"
#include "bsp/split_poly.h"
#include "log/thread_budget.h"

namespace tarvel {

namespace {

// A child's counters are carried when what it loses and gains is at most
// this share of what it keeps; otherwise its own search is cheaper than a
// side test per change and kept polygon.
constexpr std::size_t kChangeShare = 16;
// Below this many side tests one thread does the update.
constexpr std::size_t kThreadedTests = 1 << 16;
// Up to this many polygons without counters are counted one by one, a side
// test per other polygon, rather than counting the whole list afresh.
constexpr std::size_t kOutrightUnknown = 64;

// What the child on one side of the plane inherits, loses and gains.
struct ChildChange {
    std::vector<std::size_t> kept;  // positions of the polygons with known counters it inherits
    std::vector<const Poly*> lost;  // every polygon of the node it does not inherit
    std::vector<Poly> gained;       // the pieces cut off for it
};

ChildChange ChangeFor(const std::vector<Poly>& polys, const SearchCache& cache, const Plane& plane,
                      const std::vector<Side>& sides, Side childSide) {
    ChildChange change;
    for (std::size_t k = 0; k < polys.size(); ++k) {
        if (sides[k] == childSide) {
            if (cache[polys[k]].countsKnown) {
                change.kept.push_back(k);
            }
            continue;
        }
        change.lost.push_back(&polys[k]);
        if (sides[k] == Side::xdCrossing) {
            // The same cut the sort makes: the same pieces.
            Poly front, back;
            SplitPoly(polys[k], plane, front, back, SplitTrace::Quiet);
            Poly& piece = childSide == Side::xdInFront ? front : back;
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
void CarryInto(std::vector<Poly>& polys, SearchCache& cache, const Plane& plane,
               const std::vector<Side>& sides, Side childSide, std::size_t crossing) {
    const auto inherited =
        static_cast<std::size_t>(std::count(sides.begin(), sides.end(), childSide));
    const std::size_t changes = polys.size() - inherited + crossing;
    if (inherited > 0 && changes * kChangeShare <= inherited) {
        Update(polys, ChangeFor(polys, cache, plane, sides, childSide));
        return;
    }
    for (std::size_t k = 0; k < polys.size(); ++k) {
        if (sides[k] == childSide) {
            cache[polys[k]].countsKnown = false;
        }
    }
}

}  // namespace

std::vector<Side> CarryCounts(std::vector<Poly>& polys, SearchCache& cache, const Plane& plane) {
    if (std::none_of(polys.begin(), polys.end(),
                     [&cache](const Poly& poly) { return cache[poly].countsKnown; })) {
        return {};
    }
    std::vector<Side> sides(polys.size());
    std::size_t crossing = 0;
    for (std::size_t k = 0; k < polys.size(); ++k) {
        sides[k] = PolySide(plane, polys[k]);
        crossing += sides[k] == Side::xdCrossing ? 1 : 0;
    }
    // Counted against all of the node's polygons first, the ones that go
    // to the on-plane lists or are cut are known no more.
    for (std::size_t k = 0; k < polys.size(); ++k) {
        if (sides[k] != Side::xdInFront && sides[k] != Side::xdInBack) {
            cache[polys[k]].countsKnown = false;
        }
    }
    CarryInto(polys, cache, plane, sides, Side::xdInFront, crossing);
    CarryInto(polys, cache, plane, sides, Side::xdInBack, crossing);
    return sides;
}

CountsPastTheSort::Counters CountsPastTheSort::Of(const Poly& poly) {
    return {poly.countInFront, poly.countInBack, poly.countOnFront, poly.countOnBack,
            poly.countCrossing};
}

void CountsPastTheSort::Set(Poly& poly, const Counters& c) {
    poly.countInFront = c[0];
    poly.countInBack = c[1];
    poly.countOnFront = c[2];
    poly.countOnBack = c[3];
    poly.countCrossing = c[4];
}

std::vector<Side> CountsPastTheSort::Carry(std::vector<Poly>& polys, SearchCache& cache,
                                           const Plane& plane) {
    std::vector<Counters> own(polys.size());
    for (std::size_t k = 0; k < polys.size(); ++k) {
        own[k] = Of(polys[k]);
    }
    std::vector<Side> sides = CarryCounts(polys, cache, plane);
    if (sides.empty()) {
        return sides;
    }
    carried_ = true;
    for (std::size_t k = 0; k < polys.size(); ++k) {
        if (cache[polys[k]].countsKnown) {
            (sides[k] == Side::xdInFront ? front_ : back_).push_back(Of(polys[k]));
        }
        Set(polys[k], own[k]);
    }
    return sides;
}

void CountsPastTheSort::Hand(BSPNode& node, const SearchCache& cache) const {
    if (!carried_) {
        return;
    }
    HandTo(node.infront.get(), cache, front_);
    HandTo(node.inback.get(), cache, back_);
}

// A child's list holds what it inherited in the node's order, with the cut
// pieces (never known) in between.
void CountsPastTheSort::HandTo(BSPNode* child, const SearchCache& cache,
                               const std::vector<Counters>& carried) {
    if (child == nullptr) {
        return;
    }
    std::size_t next = 0;
    for (Poly& poly : child->polys.items) {
        if (cache[poly].countsKnown) {
            assert(next < carried.size());
            Set(poly, carried[next++]);
        }
    }
    assert(next == carried.size());
}

void CountUnknownSides(std::vector<Poly>& polys, SearchCache& cache, unsigned threads) {
    const auto unknown = static_cast<std::size_t>(
        std::count_if(polys.begin(), polys.end(),
                      [&cache](const Poly& poly) { return !cache[poly].countsKnown; }));
    if (unknown > kOutrightUnknown) {
        CountSidesFast(polys, threads, &cache);
    } else {
        for (std::size_t i = 0; i < polys.size(); ++i) {
            if (!cache[polys[i]].countsKnown) {
                CountSidesOf(polys, i);
            }
        }
    }
    for (const Poly& poly : polys) {
        cache[poly].countsKnown = true;
    }
}

void KeepCounts(Poly& poly, const SideCounts& counts, SearchCache& cache) {
    poly.countInFront = counts[Side::xdInFront];
    poly.countInBack = counts[Side::xdInBack];
    poly.countOnFront = counts[Side::xdOnFront];
    poly.countOnBack = counts[Side::xdOnBack];
    poly.countCrossing = counts[Side::xdCrossing];
    cache[poly].countsKnown = true;
}

}  // namespace tarvel
