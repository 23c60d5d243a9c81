#include "scene_generator/staircase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "bench/generated_import.h"
#include "bsp/bsp_builder.h"
#include "bsp/geometry.h"
#include "log/log.h"

namespace tarvel::scenegen {
namespace {

using testing::ImportGenerated;

TEST(Staircase, imports_as_exactly_n_polygons) {
    for (int32_t n : {1, 2, 777}) {
        const testing::Imported imported = ImportGenerated(GenerateStaircase(n), "staircase_n");
        ASSERT_TRUE(imported.result.has_value()) << n;
        EXPECT_EQ(imported.result->polys.Count(), n);
        EXPECT_FALSE(imported.MemoHas("va|vb|vc == NULL, doh"));
    }
}

// What makes the tree as deep as the scene: against every polygon's plane,
// every other polygon lies wholly behind, beyond the tolerance.
TEST(Staircase, every_step_has_all_the_others_behind_its_plane) {
    const int32_t n = 1500;
    testing::Imported imported = ImportGenerated(GenerateStaircase(n), "staircase_pairs");
    ASSERT_TRUE(imported.result.has_value());
    std::vector<Poly>& polys = imported.result->polys.items;
    ASSERT_EQ(polys.size(), static_cast<std::size_t>(n));
    for (Poly& p : polys) {
        ComputePlane(p);
    }
    for (std::size_t i = 0; i < polys.size(); ++i) {
        for (std::size_t j = 0; j < polys.size(); ++j) {
            const Side side = PolySide(polys[i], polys[j]);
            if (i == j) {
                // Its own normal's dot product may round above 1.
                ASSERT_TRUE(side == Side::xdOnFront || side == Side::xdOnEither) << i;
            } else {
                ASSERT_EQ(side, Side::xdInBack) << i << " against " << j;
            }
        }
    }
}

Poly AsFloatPoly(const MeshObject& object, const MeshFace& f) {
    Poly poly;
    for (int32_t corner : {f.a, f.b, f.c}) {
        const Vec3 p = object.vertices[corner];
        // The file holds four decimals; the reader then narrows to float.
        const auto q = [](double v) { return static_cast<float>(std::round(v * 1e4) / 1e4); };
        poly.points.push_back({q(p.x), q(p.y), q(p.z), 0, 0, 0, 0, 0});
    }
    ComputePlane(poly);
    return poly;
}

// At the size the hardening checks compile, all pairs are too many; the
// nearest neighbours are at most about a turn of the spiral away in order.
TEST(Staircase, large_staircase_keeps_neighbours_behind) {
    const int32_t n = 200000;
    const GeneratedScene scene = GenerateStaircase(n);
    const MeshObject& steps = scene.objects.front();
    ASSERT_EQ(steps.faces.size(), static_cast<std::size_t>(n));
    const int32_t window = 1200;  // a turn at the equator is about 800 steps
    for (int32_t i = 0; i < n; i += 397) {
        const Poly splitter = AsFloatPoly(steps, steps.faces[i]);
        for (int32_t j = std::max(0, i - window); j < std::min(n, i + window); ++j) {
            if (j != i) {
                const Poly other = AsFloatPoly(steps, steps.faces[j]);
                ASSERT_EQ(PolySide(splitter, other), Side::xdInBack) << i << " against " << j;
            }
        }
    }
}

TEST(Staircase, builds_a_tree_as_deep_as_the_scene) {
    const int32_t n = 300;
    testing::Imported imported = ImportGenerated(GenerateStaircase(n), "staircase_depth");
    ASSERT_TRUE(imported.result.has_value());
    const ImportedScene& scene = *imported.result;
    for (BuildStrategy strategy : {BuildStrategy::Literal, BuildStrategy::Fast}) {
        const testing::BuiltTree built = testing::BuildImported(scene, strategy);
        EXPECT_EQ(built.counters.maxDepth, n);
        EXPECT_EQ(built.counters.nodeCount, n);
        for (const std::string& line : built.memo) {
            EXPECT_EQ(line.rfind("Recursion occured", 0), std::string::npos) << line;
        }
    }
}

TEST(Staircase, coordinates_stay_within_a_few_kilometres) {
    const GeneratedScene scene = GenerateStaircase(200000);
    double reach = 0;
    for (Vec3 p : scene.objects.front().vertices) {
        reach = std::max(reach, Length(p));
    }
    EXPECT_LT(reach, 3000.0);
}

}  // namespace
}  // namespace tarvel::scenegen
