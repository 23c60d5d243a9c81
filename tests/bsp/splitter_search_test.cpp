#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <numeric>
#include <optional>
#include <vector>

#include "bsp/bsp_node_steps.h"
#include "bsp/search/parallel_planes.h"
#include "bsp/search/plane_count.h"
#include "bsp/search/poly_bvh.h"
#include "bsp/search/splitter_search.h"
#include "bsp/side_counting.h"
#include "support/awkward_polys.h"
#include "support/known_counters.h"

namespace tarvel {
namespace {

using testing::At;
using testing::AwkwardScene;
using testing::ExpectKnownCountersExact;
using testing::Shell;
using testing::SpikedShell;
using testing::TiledBoxes;
using testing::Triangle;
using testing::TurnedBoxesInACloud;

// What the choice takes from the counters of every ordered pair.
std::optional<std::size_t> CountedChoice(const std::vector<Poly>& polys) {
    BSPNode node;
    node.polys.items = polys;
    CountSidesLiteral(node.polys.items);
    return ChooseSplitter(node);
}

// Returns how many counters the searches left known.
int ExpectSameChoice(const std::vector<Poly>& polys) {
    const std::optional<std::size_t> expected = CountedChoice(polys);
    int known = 0;
    for (unsigned threads : {1u, 2u}) {
        SCOPED_TRACE(threads);
        std::vector<Poly> searched = polys;
        SearchCache cache;
        cache.Enter(searched);
        EXPECT_EQ(SearchSplitter(searched, cache, threads), expected);
        known += ExpectKnownCountersExact(searched, cache);
        // Again with the ranks and the counters the first search gave: the
        // hierarchy then follows the ranks instead of partitioning afresh,
        // and the known counters stand in for walks.
        EXPECT_EQ(SearchSplitter(searched, cache, threads), expected);
    }
    // Counters known beforehand: all of them, every third, or all but the
    // first five (counted outright, as a chain's pieces are).
    const auto knownIf = [](std::size_t i) { return i % 3 == 0; };
    const auto knownPast = [](std::size_t i) { return i >= 5; };
    for (const auto& isKnown :
         {std::function<bool(std::size_t)>([](std::size_t) { return true; }),
          std::function<bool(std::size_t)>(knownIf), std::function<bool(std::size_t)>(knownPast)}) {
        std::vector<Poly> counted = polys;
        CountSidesLiteral(counted);
        SearchCache cache;
        cache.Enter(counted);
        for (std::size_t i = 0; i < counted.size(); ++i) {
            cache[counted[i]].countsKnown = isKnown(i);
            if (!isKnown(i)) {
                counted[i].ResetCounters();
            }
        }
        EXPECT_EQ(SearchSplitter(counted, cache, 1), expected);
        known += ExpectKnownCountersExact(counted, cache);
    }
    return known;
}

void MarkClippers(std::vector<Poly>& polys, std::size_t every) {
    for (std::size_t i = 0; i < polys.size(); i += every) {
        polys[i].clipper = true;
    }
}

TEST(SplitterSearch, takes_the_counted_choice) {
    struct Case {
        const char* name;
        std::vector<Poly> polys;
    };
    std::vector<Case> cases;
    cases.push_back({"one polygon", AwkwardScene(1, 1, 10, false)});
    cases.push_back({"two polygons", AwkwardScene(2, 2, 10, false)});
    // Short lists are counted over a single leaf.
    cases.push_back({"awkward, small", AwkwardScene(3, 60, 10, false)});
    cases.push_back({"awkward, small, non-finite", AwkwardScene(11, 64, 10, true)});
    cases.push_back({"shell, small", Shell(64, 10)});
    cases.push_back({"awkward, deep hierarchy", AwkwardScene(4, 1500, 100, false)});
    cases.push_back({"awkward, tiny extent", AwkwardScene(5, 600, 0.01f, false)});
    cases.push_back({"awkward, non-finite", AwkwardScene(6, 600, 10, true)});
    cases.push_back({"shell, every score ties", Shell(700, 50)});
    {
        // The shell around a cloud: the cloud's planes cross one another,
        // the shell's cross nothing.
        std::vector<Poly> polys = Shell(400, 80);
        for (Poly& poly : AwkwardScene(7, 400, 20, false)) {
            polys.push_back(std::move(poly));
        }
        cases.push_back({"shell around a cloud", polys});
        MarkClippers(polys, 7);
        cases.push_back({"shell around a cloud, some clippers", polys});
    }
    {
        std::vector<Poly> polys = AwkwardScene(8, 900, 30, false);
        MarkClippers(polys, 5);
        cases.push_back({"clippers that all cross", polys});
    }
    {
        std::vector<Poly> polys = AwkwardScene(9, 200, 10, false);
        polys.insert(polys.begin() + 17, Poly{});  // crosses everything
        Poly two;
        two.points = {At(0, 0, 0), At(1, 0, 0)};
        two.plane = Plane{0, 0, 0, 0};
        polys.push_back(two);
        cases.push_back({"polygons without area", polys});
    }
    cases.push_back({"tiled boxes, many triangles on each plane", TiledBoxes(12, 6, 5)});
    // Hundreds of planes a few bits apart, thousands parallel: counted by
    // family in the large nodes.
    cases.push_back({"turned tiled boxes in a cloud", TurnedBoxesInACloud(13)});
    {
        // Thousands of candidates, shared out between threads.
        cases.push_back({"many candidates", AwkwardScene(10, 2300, 60, false)});
    }
    int known = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        known += ExpectSameChoice(c.polys);
    }
    EXPECT_GT(known, 1000);
}

// Every member's counts from its family's pass, against a side test of
// every polygon; corners on the planes of the faces beside each face, and
// planes a few bits apart, put polygons at the edge of each member's bounds.
TEST(ParallelPlanes, count_every_member_as_the_side_test_does) {
    struct Case {
        const char* name;
        std::vector<Poly> polys;
        bool givenUp = false;  // every family leaves too much open
    };
    // Copies of some triangles just off their planes, nearer than the point
    // test's tolerance or just beyond it; and the whole scene far from the
    // origin, where a normal's last bits move a plane the most.
    const auto moved = [](std::vector<Poly> polys, float along, float shift) {
        std::vector<Poly> copies;
        for (std::size_t i = 0; i<polys.size(); i += along> 0 ? 5 : 1) {
            Poly copy = polys[i];
            for (APoint& p : copy.points) {
                p = At(p.x + copy.plane.a * along + shift, p.y + copy.plane.b * along - shift,
                       p.z + copy.plane.c * along + shift);
            }
            ComputePlane(copy);
            copies.push_back(std::move(copy));
        }
        if (along > 0) {
            copies.insert(copies.end(), polys.begin(), polys.end());
        }
        return copies;
    };
    const Case cases[] = {
        {"turned tiled boxes", TiledBoxes(15, 10, 5, true)},
        {"turned tiled boxes in a cloud", TurnedBoxesInACloud(16)},
        {"copies just off their planes", moved(TiledBoxes(17, 6, 2, true), 0.0009f, 0)},
        {"copies just beyond the tolerance", moved(TiledBoxes(18, 6, 2, true), 0.0012f, 0)},
        {"far from the origin", moved(TiledBoxes(19, 10, 5, true), 0, 3000)},
        // Each of a face's triangles would test the whole face one by one.
        {"one box of large faces", TiledBoxes(20, 1, 25, true), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Poly>& polys = c.polys;
        const PolyBvh bvh = BuildPolyBvh(polys);
        std::vector<int32_t> all(polys.size());
        std::iota(all.begin(), all.end(), 0);
        ParallelPlanes families(polys, bvh, all);
        families.PassAll(2);
        int members = 0;
        for (const int32_t i : all) {
            if (!families.Has(i)) {
                continue;
            }
            ++members;
            SideCounts expected;
            for (const Poly& poly : polys) {
                ++expected[PolySide(polys[static_cast<std::size_t>(i)].plane, poly)];
            }
            const auto [front, back] = families.Count(i);
            ASSERT_EQ(front, expected[Side::xdInFront]) << i;
            ASSERT_EQ(back, expected[Side::xdInBack]) << i;
        }
        if (c.givenUp) {
            EXPECT_EQ(members, 0);
        } else {
            EXPECT_GT(members, 100);
        }
    }
}

TEST(SplitterSearch, finds_nothing_in_an_empty_list) {
    std::vector<Poly> none;
    SearchCache cache;
    EXPECT_EQ(SearchSplitter(none, cache, 1), std::nullopt);
}

// Entries live in segments of growing size; one written across their
// boundaries must stay its own and stay put while later ones are added.
// Handed to another build's cache, an entry keeps what is true of its
// polygon, but not another's key: keys are each cache's own, and a stale
// one could name a polygon the plane never cut.
TEST(SearchCache, keeps_every_entry_apart_and_in_place) {
    std::vector<Poly> polys(5000);
    SearchCache cache;
    cache.Enter(polys);
    for (std::size_t i = 0; i < polys.size(); ++i) {
        cache[polys[i]].spatialRank = static_cast<int32_t>(i);
    }
    const SearchMemo* last = &cache[polys.back()];
    std::vector<Poly> pieces(polys.size());
    for (std::size_t i = 0; i < polys.size(); ++i) {
        cache.EnterPiece(pieces[i], polys[i]);
        cache[pieces[i]].crossedRank = 7;
        cache[pieces[i]].crossedKey = 3;
    }
    EXPECT_EQ(&cache[polys.back()], last);
    for (std::size_t i = 0; i < polys.size(); ++i) {
        ASSERT_EQ(cache[polys[i]].spatialRank, static_cast<int32_t>(i));
        ASSERT_EQ(cache[polys[i]].crossedRank, -1);
        ASSERT_EQ(cache[pieces[i]].spatialRank, static_cast<int32_t>(i));
    }
    SearchCache other;
    other.Enter(pieces, cache.HandOver(pieces));
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        ASSERT_EQ(pieces[i].memoKey, static_cast<int32_t>(i));
        ASSERT_EQ(other[pieces[i]].spatialRank, static_cast<int32_t>(i));
        ASSERT_EQ(other[pieces[i]].crossedRank, 7);
        ASSERT_EQ(other[pieces[i]].crossedKey, -1);
    }
}

TEST(PlaneCount, a_walk_cut_short_bounds_the_exact_counts) {
    std::vector<Poly> polys = AwkwardScene(21, 800, 40, true);
    const PolyBvh bvh = BuildPolyBvh(polys);
    CountScratch scratch;
    for (std::size_t p = 0; p < polys.size(); p += 37) {
        const Plane& plane = polys[p].plane;
        SideCounts exact{};
        for (const Poly& poly : polys) {
            ++exact[PolySide(plane, poly)];
        }
        for (int32_t depth : {0, 1, 3, 5, 100}) {
            SCOPED_TRACE(::testing::Message() << "plane " << p << ", depth " << depth);
            const PlaneCount walk =
                CountAgainst(polys, bvh, plane, CountLimits{.maxDepth = depth}, scratch);
            ASSERT_EQ(walk.end, CountEnd::Complete);
            int32_t decided = 0;
            for (std::size_t side = 0; side < exact.bySide.size(); ++side) {
                EXPECT_LE(walk.counts.bySide[side], exact.bySide[side]);
                EXPECT_LE(exact.bySide[side], walk.counts.bySide[side] + walk.undecided);
                decided += walk.counts.bySide[side];
            }
            EXPECT_EQ(decided + walk.undecided, static_cast<int32_t>(polys.size()));
        }
    }
}

TEST(PlaneCount, stops_at_a_crossing_and_names_a_polygon_that_crosses) {
    std::vector<Poly> polys = AwkwardScene(22, 500, 20, false);
    const PolyBvh bvh = BuildPolyBvh(polys);
    CountScratch scratch;
    int stopped = 0;
    for (std::size_t p = 0; p < polys.size(); ++p) {
        const Plane& plane = polys[p].plane;
        const CountLimits limits{.maxCrossings = 0, .owner = static_cast<int32_t>(p)};
        const PlaneCount walk = CountAgainst(polys, bvh, plane, limits, scratch);
        if (walk.end != CountEnd::TooManyCrossings || walk.crossingPoly < 0) {
            continue;
        }
        ++stopped;
        EXPECT_NE(walk.crossingPoly, static_cast<int32_t>(p));
        EXPECT_EQ(PolySide(plane, polys[static_cast<std::size_t>(walk.crossingPoly)]),
                  Side::xdCrossing);
    }
    EXPECT_GT(stopped, 100);
}

}  // namespace
}  // namespace tarvel
