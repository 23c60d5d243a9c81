#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "bsp/split_poly.h"
#include "support/bsp_fixtures.h"

namespace tarvel {
namespace {

using testing::At;
using testing::LogCapture;

const Plane kPlaneX{1, 0, 0, 0};  // the distance of a point is its x

bool Same(const APoint& a, const APoint& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.u == b.u && a.v == b.v && a.r == b.r &&
           a.g == b.g && a.b == b.b;
}

// Corner i lies at distance dists[i] from kPlaneX; its other fields tell the
// corners apart.
Poly PolyAtDistances(const std::vector<float>& dists) {
    Poly poly;
    for (std::size_t i = 0; i < dists.size(); ++i) {
        const float f = static_cast<float>(i);
        poly.points.push_back(APoint{dists[i], f, 2 * f, 0.1f * f, 0.2f * f, 0.5f, 0.25f, f});
    }
    return poly;
}

// Checks a piece against tokens: "2" is source corner 2, copied unchanged;
// "X12" a new corner on the plane, between corners 1 and 2.
void ExpectPiece(const Poly& piece, const Poly& source, const std::string& tokens) {
    std::istringstream in(tokens);
    std::vector<std::string> expected;
    for (std::string token; in >> token;) {
        expected.push_back(token);
    }
    ASSERT_EQ(piece.points.size(), expected.size()) << tokens;
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const APoint& got = piece.points[k];
        const std::string& token = expected[k];
        if (token[0] != 'X') {
            EXPECT_TRUE(Same(got, source.points[std::stoul(token)])) << tokens << " at " << k;
            continue;
        }
        const float y1 = source.points[std::stoul(token.substr(1, 1))].y;
        const float y2 = source.points[std::stoul(token.substr(2, 1))].y;
        EXPECT_EQ(PointSide(kPlaneX, got), Side::xdOnEither) << tokens << " at " << k;
        EXPECT_GE(got.y, std::min(y1, y2)) << tokens << " at " << k;
        EXPECT_LE(got.y, std::max(y1, y2)) << tokens << " at " << k;
    }
}

// The lines of the edge table in the trace, in order.
std::vector<std::string> RowLines(const std::string& trace) {
    std::vector<std::string> rows;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) {
        if (line.find("adding") != std::string::npos) {
            rows.push_back(line);
        }
    }
    return rows;
}

struct SplitCase {
    const char* name;
    std::vector<float> dists;
    std::vector<std::string> rows;
    const char* front;
    const char* back;
};

TEST(SplitPoly, every_row_of_the_edge_table_appends_what_it_logs) {
    const std::vector<SplitCase> cases = {
        {"plus_minus_minus",
         {1, -1, -1},
         {"Crossing front to back, adding to infront & adding crossing point.",
          "Segment all on back, adding to inback.",
          "Crossing back to front, adding to inback & adding crossing point."},
         "0 X01 X20",
         "X01 1 2 X20"},
        {"square_with_corners_on_the_plane",
         {0, 1, 0, -1},
         {"On to Front, adding to both.", "Front to On, adding to infront.",
          "On to Back, adding to both.", "Back to On, adding to inback."},
         "0 1 2",
         "0 2 3"},
        {"plus_plus_minus",
         {1, 1, -1},
         {"Segment all on front, adding to infront.",
          "Crossing front to back, adding to infront & adding crossing point.",
          "Crossing back to front, adding to inback & adding crossing point."},
         "0 1 X12 X20",
         "X12 2 X20"},
        {"edge_in_the_plane",
         {0, 0, 1},
         {"On to On, adding to both.", "On to Front, adding to both.",
          "Front to On, adding to infront."},
         "0 1 2",
         "0 1"},
        {"corner_within_the_tolerance_stays_where_it_is",
         {0.0005f, 1, -1},
         {"On to Front, adding to both.",
          "Crossing front to back, adding to infront & adding crossing point.",
          "Back to On, adding to inback."},
         "0 1 X12",
         "0 X12 2"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        const Poly source = PolyAtDistances(c.dists);
        Poly front, back;
        SplitPoly(source, kPlaneX, front, back);
        EXPECT_EQ(RowLines(log.file.text()), c.rows);
        ExpectPiece(front, source, c.front);
        ExpectPiece(back, source, c.back);
    }
}

TEST(SplitPoly, pieces_take_the_source_attributes_and_start_afresh) {
    Poly source = PolyAtDistances({1, -1, -1});
    source.material = 4;
    source.subMaterial = 2;
    source.polyClass = 7;
    source.clipper = true;
    source.plane = Plane{0, 1, 0, 3};
    source.countInFront = source.countInBack = source.countOnFront = 5;
    source.countOnBack = source.countCrossing = 5;
    const Poly before = source;
    Poly front, back;
    front.points.push_back(At(9, 9, 9));  // whatever the caller left is replaced
    SplitPoly(source, kPlaneX, front, back);
    for (const Poly* piece : {&front, &back}) {
        EXPECT_EQ(piece->material, 4);
        EXPECT_EQ(piece->subMaterial, 2);
        EXPECT_EQ(piece->polyClass, 7);
        EXPECT_TRUE(piece->clipper);
        EXPECT_EQ(piece->plane.c, 1.0f);
        EXPECT_EQ(piece->plane.b, 0.0f);
        EXPECT_EQ(piece->countInFront + piece->countInBack + piece->countOnFront +
                      piece->countOnBack + piece->countCrossing,
                  0);
    }
    EXPECT_EQ(front.points.size(), 3u);
    ASSERT_EQ(source.points.size(), before.points.size());
    for (std::size_t i = 0; i < source.points.size(); ++i) {
        EXPECT_TRUE(Same(source.points[i], before.points[i]));
    }
    EXPECT_EQ(source.countCrossing, 5);
}

TEST(SplitPoly, traces_every_edge_with_both_corners_and_their_sides) {
    LogCapture log;
    Poly source;
    source.points = {At(0.0005f, 0, 0), At(1, 1, 0), At(-1, 2, 0)};
    Poly front, back;
    SplitPoly(source, kPlaneX, front, back);
    const std::string p0 =
        "    (   0.001,    0.000,    0.000) tx( 0.00000,  0.00000), (0.000000, 0.000000, "
        "0.000000)\n";
    const std::string p1 =
        "    (   1.000,    1.000,    0.000) tx( 0.00000,  0.00000), (0.000000, 0.000000, "
        "0.000000)\n";
    const std::string p2 =
        "    (  -1.000,    2.000,    0.000) tx( 0.00000,  0.00000), (0.000000, 0.000000, "
        "0.000000)\n";
    const std::string expected =
        "Splitting polygon of 3 points...\n"
        "  Plane (      0.000,       0.000,       1.000)       0.000\n"
        "  InFront:   0, InBack:   0, OnFront:   0, OnBack:   0, Crossing:   0\n" +
        p0 + p1 + p2 + "------------------\n" + "Points   0 &    1:\n" + p0 + p1 +
        "Side1: 4 (xdONeither)\nSide2: 0 (xdInFront)\n"
        "On to Front, adding to both.\n"
        "Points   1 &    2:\n" +
        p1 + p2 +
        "Side1: 0 (xdInFront)\nSide2: 1 (xdInBack)\n"
        "Crossing front to back, adding to infront & adding crossing point.\n"
        "Points   2 &    0:\n" +
        p2 + p0 +
        "Side1: 1 (xdInBack)\nSide2: 4 (xdONeither)\n"
        "Back to On, adding to inback.\n";
    EXPECT_EQ(log.file.text(), expected);
}

TEST(IntersectEdge, interpolates_all_eight_fields_with_one_parameter) {
    const APoint p1{1, 0, 0, 0, 0, 0, 0, 0};          // distance +1
    const APoint p2{-3, 4, 8, 1, 2, 1, 0.5f, 0.25f};  // distance -3: t = 0.25
    const std::optional<APoint> x = IntersectEdge(kPlaneX, p1, p2);
    ASSERT_TRUE(x);
    EXPECT_TRUE(Same(*x, APoint{0, 1, 2, 0.25f, 0.5f, 0.25f, 0.125f, 0.0625f}));
}

TEST(IntersectEdge, uses_the_parameter_rounded_to_float) {
    // t = 1/3 as a float is a little above a third, so the corner lands just
    // behind the plane rather than on it.
    const std::optional<APoint> x = IntersectEdge(kPlaneX, At(1, 0, 0), At(-2, 3, 0));
    ASSERT_TRUE(x);
    EXPECT_EQ(x->x, -0x1p-25f);
    EXPECT_EQ(x->y, 1.0f);
}

TEST(IntersectEdge, accepts_the_ends_and_refuses_what_lies_outside) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        APoint p1, p2;
        bool made;
        float x, y;
    } cases[] = {
        {"first_end_on_the_plane", At(0, 5, 0), At(-1, 7, 0), true, 0, 5},
        {"second_end_on_the_plane", At(1, 5, 0), At(0, 7, 0), true, 0, 7},
        {"parallel_edge", At(1, 0, 0), At(1, 3, 0), false, 0, 0},
        {"meets_the_plane_before_p1", At(1, 0, 0), At(2, 0, 0), false, 0, 0},
        {"meets_the_plane_beyond_p2", At(2, 0, 0), At(1, 0, 0), false, 0, 0},
        {"infinite_corner_gives_no_parameter", At(inf, 0, 0), At(-1, 0, 0), false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<APoint> x = IntersectEdge(kPlaneX, c.p1, c.p2);
        ASSERT_EQ(x.has_value(), c.made);
        if (c.made) {
            EXPECT_EQ(x->x, c.x);
            EXPECT_EQ(x->y, c.y);
        }
    }
}

}  // namespace
}  // namespace tarvel
