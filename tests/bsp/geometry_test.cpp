#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "bsp/geometry.h"
#include "log/log.h"

namespace tarvel {
namespace {

APoint P(float x, float y, float z) {
    return APoint{x, y, z, 0, 0, 0, 0, 0};
}

Poly Triangle(APoint a, APoint b, APoint c) {
    Poly poly;
    poly.points = {a, b, c};
    ComputePlane(poly);
    return poly;
}

TEST(Geometry, plane_of_a_counter_clockwise_triangle_faces_the_viewer) {
    const Poly poly = Triangle(P(0, 0, 0), P(1, 0, 0), P(0, 1, 0));
    EXPECT_EQ(poly.plane.a, 0.0f);
    EXPECT_EQ(poly.plane.b, 0.0f);
    EXPECT_EQ(poly.plane.c, 1.0f);
    EXPECT_EQ(poly.plane.d, 0.0f);
    EXPECT_TRUE(std::signbit(poly.plane.d));  // -(0) from the second corner
}

TEST(Geometry, clockwise_triangle_faces_away_with_its_offset) {
    const Poly poly = Triangle(P(0, 0, 5), P(0, 3, 5), P(4, 0, 5));
    EXPECT_EQ(poly.plane.c, -1.0f);
    EXPECT_EQ(poly.plane.d, 5.0f);
}

TEST(Geometry, collinear_corners_give_the_default_plane_silently) {
    LogContext context;
    RecordingMessageBoxSink boxes;
    context.messageBox = &boxes;
    ScopedLogContext scope(context);
    Poly poly;
    poly.points = {P(0, 0, 0), P(1, 1, 1), P(2, 2, 2), P(0, 5, 0)};  // only three count
    poly.plane = Plane{1, 0, 0, 7};
    ComputePlane(poly);
    EXPECT_EQ((std::array{poly.plane.a, poly.plane.b, poly.plane.c, poly.plane.d}),
              (std::array{0.0f, 0.0f, 1.0f, 0.0f}));
    EXPECT_TRUE(boxes.messages.empty());
}

TEST(Geometry, too_few_corners_show_the_box_and_give_the_zero_plane) {
    LogContext context;
    RecordingMessageBoxSink boxes;
    context.messageBox = &boxes;
    ScopedLogContext scope(context);
    Poly poly;
    poly.points = {P(0, 0, 0), P(1, 0, 0)};
    ComputePlane(poly);
    EXPECT_EQ((std::array{poly.plane.a, poly.plane.b, poly.plane.c, poly.plane.d}),
              (std::array{0.0f, 0.0f, 0.0f, 0.0f}));
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0], "Can't calculate plane due to lack of points");
    EXPECT_EQ(PointSide(poly.plane, P(9, 9, 9)), Side::xdOnEither);
}

TEST(Geometry, point_side_thresholds) {
    const Plane z0{0, 0, 1, 0};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* name;
        Plane plane;
        float z;
        Side side;
    } cases[] = {
        {"0.0009 is on", z0, 0.0009f, Side::xdOnEither},
        {"0.0011 is in front", z0, 0.0011f, Side::xdInFront},
        {"-0.0011 is behind", z0, -0.0011f, Side::xdInBack},
        {"-0.0009 is on", z0, -0.0009f, Side::xdOnEither},
        {"the float 0.001 itself is in front", z0, 0.001f, Side::xdInFront},
        {"just below it is on", z0, std::nextafter(0.001f, 0.0f), Side::xdOnEither},
        // In double the distance is below the float 0.001; rounded to float
        // it equals it, and the test reads the rounded value.
        {"rounded before the test", Plane{0, 0, 1, -1e-11f}, 0.001f, Side::xdInFront},
        {"not a number is on", z0, nan, Side::xdOnEither},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PointSide(c.plane, P(0, 0, c.z)), c.side) << c.name;
    }
}

TEST(Geometry, poly_side_of_polygons_against_a_plane) {
    const Plane z0{0, 0, 1, 0};
    const Poly same = Triangle(P(0, 0, 0), P(1, 0, 0), P(0, 1, 0));
    const Poly opposite = Triangle(P(0, 0, 0), P(0, 1, 0), P(1, 0, 0));
    Poly overOne = same;
    overOne.plane.c = std::nextafter(1.0f, 2.0f);
    Poly perpendicular = same;
    perpendicular.plane = Plane{1, 0, 0, 0};
    // The angle of the first rounds to 90 degrees, that of the second below.
    Poly nearlyPerpendicular = same, justUnderPerpendicular = same;
    nearlyPerpendicular.plane = Plane{1, 0, 1e-8f, 0};
    justUnderPerpendicular.plane = Plane{1, 0, 1e-6f, 0};
    Poly quadOn, quadCross, behind, empty;
    quadOn.points = {P(0, 0, 1), P(1, 0, 1), P(1, 1, 1), P(0, 1, 0)};
    quadCross.points = {P(0, 0, 1), P(1, 0, 1), P(1, 1, 1), P(0, 1, -0.002f)};
    behind.points = {P(0, 0, -1), P(1, 0, 0), P(0, 1, -2)};
    const struct {
        const char* name;
        const Poly& poly;
        Side side;
    } cases[] = {
        {"coplanar, same winding", same, Side::xdOnFront},
        {"coplanar, opposite winding", opposite, Side::xdOnBack},
        {"dot above one", overOne, Side::xdOnEither},
        {"at 90 degrees counts as back", perpendicular, Side::xdOnBack},
        {"rounded to 90 degrees counts as back", nearlyPerpendicular, Side::xdOnBack},
        {"just under 90 degrees counts as front", justUnderPerpendicular, Side::xdOnFront},
        {"three in front, one on", quadOn, Side::xdInFront},
        {"one corner 0.002 behind", quadCross, Side::xdCrossing},
        {"behind and on", behind, Side::xdInBack},
        {"no corners", empty, Side::xdCrossing},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PolySide(z0, c.poly), c.side) << c.name;
    }
    EXPECT_EQ(PolySide(same, opposite), Side::xdOnBack);
}

TEST(Geometry, segment_side_codes_and_parameter) {
    const Plane z0{0, 0, 1, 0};
    const struct {
        const char* name;
        float z1, z2;
        int32_t side;
        float t;  // -1: left untouched
    } cases[] = {
        {"both in front", 1, 2, 2, -1}, {"both behind", -1, -2, 3, -1},
        {"both on", 0, 0, 4, -1},       {"first on, second behind", 0, -1, 1, 0},
        {"second on", 1, 0, 1, 1},      {"crossing", 1, -3, 1, 0.25f},
    };
    for (const auto& c : cases) {
        float t = -1;
        EXPECT_EQ(SegmentSide(z0, 0, 0, c.z1, 5, 5, c.z2, t), c.side) << c.name;
        EXPECT_EQ(t, c.t) << c.name;
    }
}

TEST(Geometry, segment_denominator_is_rounded_once) {
    // Rounding each coordinate difference to float first would give a
    // denominator one unit off and t = 0.40995455.
    const Plane plane{0.70710677f, 0.70710677f, 0, -13000000.0f};
    float t = -1;
    EXPECT_EQ(SegmentSide(plane, 13436424.0f, 5.275492191314697f, 0, 6.94867467880249f, 25506902.0f,
                          0, t),
              1);
    EXPECT_EQ(t, 0.4099544882774353f);
}

}  // namespace
}  // namespace tarvel
