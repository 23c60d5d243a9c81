#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "bsp/search/side_counting_fast.h"
#include "support/awkward_polys.h"
#include "support/known_counters.h"

namespace tarvel {
namespace {

// The reference: every ordered pair, as a node's preparation counts them.
void CountSidesByPairs(std::vector<Poly>& polys) {
    for (std::size_t i = 0; i < polys.size(); ++i) {
        polys[i].ResetCounters();
        for (std::size_t j = 0; j < polys.size(); ++j) {
            if (i == j)
                continue;
            switch (PolySide(polys[i].plane, polys[j])) {
                case Side::xdInFront:
                    ++polys[i].countInFront;
                    break;
                case Side::xdInBack:
                    ++polys[i].countInBack;
                    break;
                case Side::xdOnFront:
                    ++polys[i].countOnFront;
                    break;
                case Side::xdOnBack:
                    ++polys[i].countOnBack;
                    break;
                case Side::xdCrossing:
                    ++polys[i].countCrossing;
                    break;
                default:
                    break;
            }
        }
    }
}

using testing::At;
using testing::AwkwardScene;
using testing::Triangle;

void ExpectSameCounts(std::vector<Poly> polys, unsigned threads) {
    std::vector<Poly> reference = polys;
    CountSidesByPairs(reference);
    CountSidesFast(polys, threads);
    for (std::size_t i = 0; i < polys.size(); ++i) {
        SCOPED_TRACE(i);
        testing::ExpectSameCounters(polys[i], reference[i]);
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST(SideCountingFast, equals_the_pairwise_count_on_random_scenes) {
    struct Case {
        uint64_t seed;
        int count;
        float extent;
        bool nonFinite;
        unsigned threads;
    };
    const Case cases[] = {
        {1, 1, 10, false, 1},    {2, 2, 10, false, 1},      {3, 40, 10, false, 1},
        {4, 300, 100, false, 1}, {5, 300, 0.01f, false, 1}, {6, 300, 1e4f, false, 1},
        {7, 300, 10, true, 1},   {8, 2500, 50, false, 2},   {9, 2500, 5, true, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seed);
        ExpectSameCounts(AwkwardScene(c.seed, c.count, c.extent, c.nonFinite), c.threads);
    }
}

TEST(SideCountingFast, equals_the_pairwise_count_on_a_flat_grid) {
    // Thousands of polygons sharing one plane, and a wall across them.
    std::vector<Poly> polys;
    for (int x = 0; x < 40; ++x) {
        for (int y = 0; y < 30; ++y) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            polys.push_back(Triangle(At(fx, fy, 0), At(fx + 1, fy, 0), At(fx, fy + 1, 0)));
            polys.push_back(Triangle(At(fx + 1, fy, 0), At(fx + 1, fy + 1, 0), At(fx, fy + 1, 0)));
        }
    }
    polys.push_back(Triangle(At(20.5f, -1, -1), At(20.5f, 40, -1), At(20.5f, 0, 5)));
    ExpectSameCounts(polys, 2);
}

TEST(SideCountingFast, equals_the_pairwise_count_for_clusters_at_the_tolerance) {
    // Whole groups of polygons whose corners lie just inside, exactly at and
    // just outside the tolerance of a shared plane: a box decision that is
    // off by one rounding shows up here.
    const float eps = kOnPlaneEpsilon;
    const float offsets[] = {std::nextafter(eps, 0.0f),  eps,  std::nextafter(eps, 1.0f),
                             -std::nextafter(eps, 0.0f), -eps, -std::nextafter(eps, 1.0f)};
    std::vector<Poly> polys;
    for (int i = 0; i < 40; ++i) {
        const float fx = static_cast<float>(i);
        polys.push_back(Triangle(At(fx, 0, 0), At(fx + 1, 0, 0), At(fx, 1, 0)));
    }
    for (float z : offsets) {
        for (int i = 0; i < 40; ++i) {
            const float fx = static_cast<float>(i);
            polys.push_back(Triangle(At(fx, 2, z), At(fx + 1, 2, z), At(fx, 3, z)));
        }
    }
    ExpectSameCounts(polys, 1);
}

TEST(SideCountingFast, equals_the_pairwise_count_for_corners_on_both_sides_of_the_tolerance) {
    // Triangles whose corners sit at every pair of offsets around the
    // tolerance, infinities and NaN included, so that groups stay undecided
    // and each polygon's side comes from its corners one by one.
    const float eps = kOnPlaneEpsilon;
    const float inf = std::numeric_limits<float>::infinity();
    const float offsets[] = {0.0f,  std::nextafter(eps, 0.0f),
                             eps,   -std::nextafter(eps, 1.0f),
                             -eps,  0.5f,
                             -0.5f, inf,
                             -inf,  std::numeric_limits<float>::quiet_NaN()};
    std::vector<Poly> polys;
    for (int i = 0; i < 20; ++i) {
        const float fx = static_cast<float>(i);
        polys.push_back(Triangle(At(fx, 0, 0), At(fx + 1, 0, 0), At(fx, 1, 0)));
    }
    float fx = 0;
    for (float z1 : offsets) {
        for (float z2 : offsets) {
            polys.push_back(Triangle(At(fx, 4, z1), At(fx + 1, 4, z2), At(fx, 5, 0)));
            fx += 2;
        }
    }
    ExpectSameCounts(polys, 1);
    ExpectSameCounts(polys, 2);
}

TEST(SideCountingFast, handles_polygons_without_points_and_degenerate_planes) {
    std::vector<Poly> polys = AwkwardScene(11, 30, 10, false);
    Poly empty;
    polys.insert(polys.begin() + 3, empty);
    Poly two;
    two.points = {At(0, 0, 0), At(1, 0, 0)};
    two.plane = Plane{0, 0, 0, 0};
    polys.push_back(two);
    ExpectSameCounts(polys, 1);
}

}  // namespace
}  // namespace tarvel
