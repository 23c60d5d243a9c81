#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bsp/poly_list.h"
#include "log/log.h"

namespace tarvel {
namespace {

using ::testing::ElementsAre;

// A square of two faces over four vertices, with texture coordinates.
GeomObject Square(float z, int32_t materialRef) {
    GeomObject geo;
    geo.AddVertex(Vertex{0, 0, 0, z});
    geo.AddVertex(Vertex{1, 2, 0, z});
    geo.AddVertex(Vertex{2, 2, 2, z});
    geo.AddVertex(Vertex{3, 0, 2, z});
    Face face;
    face.a = 0, face.b = 1, face.c = 2, face.mtlid = 1;
    geo.AddFace(face);
    face.index = 1, face.b = 2, face.c = 3;
    geo.AddFace(face);
    geo.AddTVertex(TVertex{0, 0.5f, 0.25f, 0});
    geo.AddTFace(TFace{0, 0, 0, 0});
    geo.SetMaterialRef(materialRef);
    geo.SetWireframeColour(0.1f, 0.2f, 0.3f);
    geo.Compile();
    return geo;
}

struct Captured {
    LogContext context;
    VectorMemoSink memo;
    StringTextSink console;
    StringTextSink file;
    Captured() {
        context.memo = &memo;
        context.console = &console;
        context.logFile = &file;
    }
};

TEST(PolyList, one_triangle_per_face_in_file_order) {
    Captured log;
    ScopedLogContext scope(log.context);
    Scene scene;
    for (int i = 0; i < 6; ++i) {
        scene.AddGeom(Square(static_cast<float>(i), 0));
    }
    scene.AddGeom(GeomObject{});
    PolyList list;
    list.Add(Poly{}, nullptr);  // emptied first
    BuildFromScene(list, scene);
    ASSERT_EQ(list.Count(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(list.items[static_cast<std::size_t>(i)].points[0].z, static_cast<float>(i / 2));
    }
    EXPECT_THAT(log.memo.lines, ElementsAre("Build PolyList from Scene..."));
    EXPECT_EQ(log.console.text(), "...end PolyList creation \n");
}

TEST(PolyList, corners_carry_position_texture_and_colour) {
    Scene scene;
    scene.AddGeom(Square(1.0f, 4));
    PolyList list;
    BuildFromScene(list, scene);
    ASSERT_EQ(list.Count(), 2);
    const Poly& poly = list.items[0];
    ASSERT_EQ(poly.points.size(), 3u);
    const APoint& b = poly.points[1];
    EXPECT_EQ((std::array{b.x, b.y, b.z, b.u, b.v, b.r, b.g, b.b}),
              (std::array{2.0f, 0.0f, 1.0f, 0.5f, 0.25f, 0.1f, 0.2f, 0.3f}));
    // The second face has no texture face: zero coordinates.
    EXPECT_EQ(list.items[1].points[1].u, 0.0f);
    EXPECT_EQ((std::array{poly.material, poly.subMaterial, poly.polyClass}), (std::array{4, 1, 3}));
    EXPECT_EQ(poly.plane.c, 1.0f);  // a, b, c counter-clockwise from above
    EXPECT_EQ(poly.plane.d, -1.0f);
    EXPECT_FALSE(poly.clipper);
}

TEST(PolyList, faces_with_a_corner_outside_the_vertices_are_left_out) {
    Captured log;
    ScopedLogContext scope(log.context);
    GeomObject geo = Square(0, 0);
    geo.faces[0].c = 4;  // the vertex count: one past the end
    Face negative = geo.faces[1];
    negative.a = -1;
    geo.AddFace(negative);
    Face huge = geo.faces[1];
    huge.b = 2147483647;
    geo.AddFace(huge);
    Scene scene;
    scene.AddGeom(geo);
    PolyList list;
    BuildFromScene(list, scene);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.items[0].points[2].x, 0.0f);  // the second face survived
    EXPECT_THAT(log.memo.lines, ElementsAre("Build PolyList from Scene...", "va|vb|vc == NULL, doh",
                                            "va|vb|vc == NULL, doh", "va|vb|vc == NULL, doh"));
}

TEST(PolyList, add_marks_clippers_only_for_the_exact_name) {
    Cupboard cupboard;
    const char* names[] = {"clipper", "Clipper", "clipper2", "road"};
    for (int32_t id = 0; id < 4; ++id) {
        Material m;
        m.id = id;
        m.bmpname = names[id];
        cupboard.Add(m);
    }
    const struct {
        int32_t material, subMaterial;
        const Cupboard* materials;
        bool clipper;
    } cases[] = {
        {0, -1, &cupboard, true},
        {0, 7, &cupboard, true},  // no such sub-material: the parent
                                  // decides
        {0, -1, nullptr, false},  // no materials: no test
        {1, -1, &cupboard, false},
        {2, -1, &cupboard, false},
        {3, -1, &cupboard, false},
        {9, -1, &cupboard, false},
    };
    for (const auto& c : cases) {
        PolyList list;
        Poly poly;
        poly.material = c.material;
        poly.subMaterial = c.subMaterial;
        list.Add(poly, c.materials);
        EXPECT_EQ(list.items[0].clipper, c.clipper) << c.material << "/" << c.subMaterial;
    }
    PolyList list;
    Poly marked;
    marked.material = 3;
    marked.clipper = true;
    list.Add(marked, &cupboard);
    EXPECT_TRUE(list.items[0].clipper);  // Add never clears the flag
}

TEST(PolyList, dump_writes_the_count_and_every_polygon) {
    Captured log;
    ScopedLogContext scope(log.context);
    PolyList list;
    Poly poly;
    poly.points = {APoint{1, 2, 3, 0.5f, 0.25f, 1, 1, 1}};
    list.Add(poly, nullptr);
    list.Dump();
    EXPECT_EQ(log.file.text(),
              "PolyList with 1 polys\n"
              "  Plane (      0.000,       0.000,       1.000)       0.000\n"
              "  InFront:   0, InBack:   0, OnFront:   0, OnBack:   0, Crossing:   0\n"
              "    (   1.000,    2.000,    3.000) tx( 0.50000,  0.25000), (1.000000, "
              "1.000000, 1.000000)\n");
}

}  // namespace
}  // namespace tarvel
