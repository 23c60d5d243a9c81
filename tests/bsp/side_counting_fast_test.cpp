#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "bsp/side_counting_fast.h"

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
                case xdInFront:
                    ++polys[i].countInFront;
                    break;
                case xdInBack:
                    ++polys[i].countInBack;
                    break;
                case xdOnFront:
                    ++polys[i].countOnFront;
                    break;
                case xdOnBack:
                    ++polys[i].countOnBack;
                    break;
                case xdCrossing:
                    ++polys[i].countCrossing;
                    break;
                default:
                    break;
            }
        }
    }
}

class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    float Uniform(float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(Next() >> 40) / static_cast<float>(1 << 24);
    }

  private:
    uint64_t state_;
};

Poly Triangle(APoint a, APoint b, APoint c) {
    Poly poly;
    poly.points = {a, b, c};
    ComputePlane(poly);
    return poly;
}

APoint At(float x, float y, float z) {
    return APoint{x, y, z, 0, 0, 1, 1, 1};
}

// A scene with the awkward cases mixed in: coplanar copies with both
// windings, corners within the tolerance of other planes, degenerate and
// collinear triangles, and, when asked, non-finite coordinates.
std::vector<Poly> RandomScene(uint64_t seed, int count, float extent, bool nonFinite) {
    Random random(seed);
    std::vector<Poly> polys;
    while (static_cast<int>(polys.size()) < count) {
        const int kind = static_cast<int>(random.Next() % 10);
        const APoint a = At(random.Uniform(-extent, extent), random.Uniform(-extent, extent),
                            random.Uniform(-extent, extent));
        const float s = random.Uniform(0.01f, extent / 4);
        APoint b = At(a.x + s, a.y + random.Uniform(-s, s), a.z);
        APoint c = At(a.x, a.y + s, a.z + random.Uniform(-s, s));
        if (kind == 0 && !polys.empty()) {
            // Coplanar neighbour of the previous triangle, maybe reversed.
            Poly copy = polys.back();
            for (APoint& p : copy.points)
                p.x += 0.25f;
            if (random.Next() % 2)
                std::swap(copy.points[1], copy.points[2]);
            ComputePlane(copy);
            polys.push_back(copy);
            continue;
        }
        if (kind == 1)
            b = a;  // repeated corner
        if (kind == 2)
            c = At(2 * b.x - a.x, 2 * b.y - a.y, 2 * b.z - a.z);  // collinear
        if (kind == 3)
            c.z = a.z + 0.0005f;  // near the plane
        if (kind == 4 && nonFinite)
            b.x = std::numeric_limits<float>::infinity();
        if (kind == 5 && nonFinite)
            c.y = std::numeric_limits<float>::quiet_NaN();
        if (kind == 6)
            b.y = a.y, c.y = a.y;  // axis-aligned
        polys.push_back(Triangle(a, b, c));
    }
    return polys;
}

void ExpectSameCounts(std::vector<Poly> polys, unsigned threads) {
    std::vector<Poly> reference = polys;
    CountSidesByPairs(reference);
    CountSidesFast(polys, threads);
    for (std::size_t i = 0; i < polys.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(polys[i].countInFront, reference[i].countInFront);
        EXPECT_EQ(polys[i].countInBack, reference[i].countInBack);
        EXPECT_EQ(polys[i].countOnFront, reference[i].countOnFront);
        EXPECT_EQ(polys[i].countOnBack, reference[i].countOnBack);
        EXPECT_EQ(polys[i].countCrossing, reference[i].countCrossing);
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
        ExpectSameCounts(RandomScene(c.seed, c.count, c.extent, c.nonFinite), c.threads);
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
    std::vector<Poly> polys = RandomScene(11, 30, 10, false);
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
