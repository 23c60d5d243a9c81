#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "bsp/bsp_node_steps.h"
#include "bsp/plane_count.h"
#include "bsp/poly_bvh.h"
#include "bsp/side_counting.h"
#include "bsp/splitter_search.h"
#include "support/awkward_polys.h"

namespace tarvel {
namespace {

using testing::At;
using testing::AwkwardScene;
using testing::Triangle;

// What the choice takes from the counters of every ordered pair.
std::optional<std::size_t> CountedChoice(const std::vector<Poly>& polys) {
    BSPNode node;
    node.polys.items = polys;
    CountSidesLiteral(node.polys.items);
    return ChooseSplitter(node);
}

void ExpectSameChoice(const std::vector<Poly>& polys) {
    const std::optional<std::size_t> expected = CountedChoice(polys);
    for (unsigned threads : {1u, 2u}) {
        SCOPED_TRACE(threads);
        std::vector<Poly> searched = polys;
        EXPECT_EQ(SearchSplitter(searched, threads), expected);
        // Again with the ranks the first search gave: the hierarchy then
        // follows them instead of partitioning afresh.
        EXPECT_EQ(SearchSplitter(searched, threads), expected);
    }
}

// Small triangles tangent to a sphere, facing out: every plane has all the
// others behind it, so nothing crosses and every score ties.
std::vector<Poly> Shell(int count, float radius) {
    std::vector<Poly> polys;
    const double golden = M_PI * (3 - std::sqrt(5.0));
    for (int i = 0; i < count; ++i) {
        const double z = 1 - 2 * (i + 0.5) / count, r = std::sqrt(1 - z * z);
        const double n[3] = {r * std::cos(golden * i), r * std::sin(golden * i), z};
        // Two tangent directions around the normal.
        const double t[3] = {-n[1], n[0], 0};
        const double tl = std::max(std::hypot(t[0], t[1]), 1e-9);
        const double u[3] = {t[0] / tl, t[1] / tl, 0};
        const double v[3] = {n[1] * u[2] - n[2] * u[1], n[2] * u[0] - n[0] * u[2],
                             n[0] * u[1] - n[1] * u[0]};
        const double s = 0.02 * radius;
        const auto corner = [&](double a, double b) {
            return At(static_cast<float>(radius * n[0] + s * (a * u[0] + b * v[0])),
                      static_cast<float>(radius * n[1] + s * (a * u[1] + b * v[1])),
                      static_cast<float>(radius * n[2] + s * (a * u[2] + b * v[2])));
        };
        polys.push_back(Triangle(corner(0, 0), corner(0, 1), corner(1, 0)));
    }
    return polys;
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
    cases.push_back({"awkward, small", AwkwardScene(3, 60, 10, false)});
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
    {
        // Thousands of candidates, shared out between threads.
        cases.push_back({"many candidates", AwkwardScene(10, 2300, 60, false)});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectSameChoice(c.polys);
    }
}

TEST(SplitterSearch, finds_nothing_in_an_empty_list) {
    std::vector<Poly> none;
    EXPECT_EQ(SearchSplitter(none, 1), std::nullopt);
}

TEST(PlaneCount, a_walk_cut_short_bounds_the_exact_counts) {
    std::vector<Poly> polys = AwkwardScene(21, 800, 40, true);
    const PolyBvh bvh = BuildPolyBvh(polys);
    CountScratch scratch;
    for (std::size_t p = 0; p < polys.size(); p += 37) {
        const Plane& plane = polys[p].plane;
        SideCounts exact{};
        for (const Poly& poly : polys) {
            ++exact[static_cast<std::size_t>(PolySide(plane, poly))];
        }
        for (int32_t depth : {0, 1, 3, 5, 100}) {
            SCOPED_TRACE(::testing::Message() << "plane " << p << ", depth " << depth);
            const PlaneCount walk =
                CountAgainst(polys, bvh, plane, CountLimits{.maxDepth = depth}, scratch);
            ASSERT_EQ(walk.end, CountEnd::Complete);
            int32_t decided = 0;
            for (std::size_t side = 0; side < exact.size(); ++side) {
                EXPECT_LE(walk.counts[side], exact[side]);
                EXPECT_LE(exact[side], walk.counts[side] + walk.undecided);
                decided += walk.counts[side];
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
        EXPECT_EQ(PolySide(plane, polys[static_cast<std::size_t>(walk.crossingPoly)]), xdCrossing);
    }
    EXPECT_GT(stopped, 100);
}

}  // namespace
}  // namespace tarvel
