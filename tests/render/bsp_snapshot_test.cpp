#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "driver/compile_driver.h"
#include "render/bsp_snapshot.h"
#include "support/bsp_fixtures.h"

namespace tarvel::render {
namespace {

Poly Triangle(APoint a, APoint b, APoint c) {
    Poly poly;
    poly.points = {a, b, c};
    ComputePlane(poly);
    return poly;
}

// A floor at z = 0 and a wall in x = 0 through it: whichever is the first
// splitter, the other is cut.
PolyList FloorAndWall() {
    PolyList list;
    list.items.push_back(Triangle({-10, -10, 0}, {10, -10, 0}, {10, 10, 0}));
    list.items.push_back(Triangle({-10, -10, 0}, {10, 10, 0}, {-10, 10, 0}));
    list.items.push_back(Triangle({0, -5, -5}, {0, 5, -5}, {0, 0, 5}));
    return list;
}

std::optional<BspSnapshot> Snapshot(const PolyList& polys) {
    tarvel::testing::LogCapture log(false);
    std::optional<BspSnapshot> snapshot;
    ConvertOptions options;
    options.plan = PlanBuild({.readsTree = true});
    options.afterBuild = [&snapshot](const BSPNode& root) { snapshot = TakeBspSnapshot(root); };
    RunConversion(
        &polys, nullptr, [] { return std::optional<std::string>(); }, options);
    return snapshot;
}

TEST(BspSnapshot, marks_split_pieces_and_their_cut_edges) {
    const auto snapshot = Snapshot(FloorAndWall());
    ASSERT_TRUE(snapshot);
    EXPECT_GE(snapshot->splitPieces, 2);
    ASSERT_GE(snapshot->cutEdges, 2);
    for (const MeshLine& line : snapshot->mesh.lines) {
        EXPECT_EQ(line.colour, kCutEdgeColour);
        const bool onFloor = std::fabs(line.a.z) < 1e-3 && std::fabs(line.b.z) < 1e-3;
        const bool onWall = std::fabs(line.a.x) < 1e-3 && std::fabs(line.b.x) < 1e-3;
        EXPECT_TRUE(onFloor || onWall);
    }
}

TEST(BspSnapshot, nodes_come_in_build_order_from_the_root) {
    const auto snapshot = Snapshot(FloorAndWall());
    ASSERT_TRUE(snapshot);
    ASSERT_FALSE(snapshot->nodes.empty());
    EXPECT_EQ(snapshot->nodes.front().depth, 1);
    EXPECT_EQ(snapshot->nodes.front().polys, 3);
    for (std::size_t i = 1; i < snapshot->nodes.size(); ++i) {
        EXPECT_LE(snapshot->nodes[i].depth, snapshot->nodes[i - 1].depth + 1);
        EXPECT_GE(snapshot->nodes[i].depth, 2);
    }
}

TEST(BspSnapshot, unsplit_scene_keeps_every_polygon_and_no_cut_edge) {
    PolyList list;
    list.items.push_back(Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
    list.items.push_back(Triangle({0, 0, 2}, {1, 0, 2}, {0, 1, 2}));
    const auto snapshot = Snapshot(list);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->splitPieces, 0);
    EXPECT_EQ(snapshot->cutEdges, 0);
    EXPECT_EQ(snapshot->mesh.polys.size(), 2u);
    EXPECT_EQ(snapshot->leafLists, 2);
}

}  // namespace
}  // namespace tarvel::render
