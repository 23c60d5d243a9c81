#include <gtest/gtest.h>

#include <cstring>

#include <sstream>
#include <string>
#include <vector>

#include "bsp/bsp_builder.h"
#include "bsp/bsp_node_steps.h"
#include "support/awkward_polys.h"
#include "support/bsp_fixtures.h"

namespace tarvel {
namespace {

using testing::ClipperCupboard;
using testing::kClipperMaterial;
using testing::LogCapture;
using testing::PolyOf;

void BuildRoot(BSPNode& root, const Cupboard* materials = nullptr) {
    Build(root, PrevCounts{}, materials);
}

Counters CountersOf(int32_t depth, int32_t maxDepth, int32_t done, int32_t splits, int32_t list,
                    int32_t nodes) {
    Counters c;
    c.depth = depth;
    c.maxDepth = maxDepth;
    c.polysDone = done;
    c.splitPolys = splits;
    c.listSize = list;
    c.nodeCount = nodes;
    return c;
}

// The log lines that begin with one of the prefixes, in order.
std::vector<std::string> LinesStarting(const std::string& text,
                                       const std::vector<std::string>& prefixes) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        for (const std::string& prefix : prefixes) {
            if (line.rfind(prefix, 0) == 0) {
                out.push_back(line);
                break;
            }
        }
    }
    return out;
}

TEST(Build, one_triangle_goes_into_the_roots_onfront) {
    LogCapture log;
    BSPNode root;
    root.polys.Add(PolyOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), nullptr);
    BuildRoot(root);

    ASSERT_TRUE(root.onfront);
    EXPECT_EQ(root.onfront->Count(), 1);
    EXPECT_FALSE(root.onback || root.infront || root.inback || root.flatList);
    EXPECT_EQ(root.plane.c, 1.0f);
    EXPECT_EQ(log.context.counters, CountersOf(0, 1, 1, 0, 1, 1));
    EXPECT_EQ(log.counters.shown,
              (std::vector<Counters>{CountersOf(1, 1, 0, 0, 1, 1), CountersOf(1, 1, 1, 0, 1, 1),
                                     CountersOf(0, 1, 1, 0, 1, 1)}));

    const std::string poly =
        "  Plane (      0.000,       0.000,       1.000)      -0.000\n"
        "  InFront:   0, InBack:   0, OnFront:   0, OnBack:   0, Crossing:   0\n"
        "    (   0.000,    0.000,    0.000) tx( 0.00000,  0.00000), (0.000000, 0.000000, "
        "0.000000)\n"
        "    (   1.000,    0.000,    0.000) tx( 0.00000,  0.00000), (0.000000, 0.000000, "
        "0.000000)\n"
        "    (   0.000,    1.000,    0.000) tx( 0.00000,  0.00000), (0.000000, 0.000000, "
        "0.000000)\n";
    EXPECT_EQ(log.file.text(),
              "PolyList with 1 polys\n" + poly +
                  "Plane of best splitter [0]: (0.000000, 0.000000, 1.000000) x -0.000000\n"
                  "Side of poly [    0]: 2 (xdOnFront)\n"
                  "The polylists/bspnodes after sorting contain:\n"
                  "--BSPNode::infront---\n"
                  "--BSPNode::inback----\n"
                  "--PolyList::onfront--\n"
                  "PolyList with 1 polys\n" +
                  poly + "--PolyList::onback---\n");
}

TEST(Build, facing_parallel_triangles_give_an_infront_child) {
    LogCapture log;
    BSPNode root;
    root.polys.Add(PolyOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), nullptr);  // faces +z
    root.polys.Add(PolyOf({{0, 0, 1}, {0, 1, 1}, {1, 0, 1}}), nullptr);  // faces -z
    BuildRoot(root);

    ASSERT_TRUE(root.onfront && root.infront);
    EXPECT_EQ(root.onfront->items[0].points[0].z, 0.0f);
    EXPECT_FALSE(root.inback || root.onback);
    ASSERT_TRUE(root.infront->onfront);
    EXPECT_EQ(root.infront->onfront->items[0].points[0].z, 1.0f);
    EXPECT_EQ(log.context.counters, CountersOf(0, 2, 2, 0, 1, 2));
    EXPECT_NE(log.file.text().find("BSP'ing infront.\n"), std::string::npos);
}

TEST(Build, crossing_triangles_split_the_second_into_both_children) {
    LogCapture log;
    BSPNode root;
    root.polys.Add(PolyOf({{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}}), nullptr);
    root.polys.Add(PolyOf({{0, -0.5f, -1}, {0, 0.5f, -1}, {0, 0, 1}}), nullptr);
    BuildRoot(root);

    ASSERT_TRUE(root.infront && root.inback && root.onfront);
    // Built children keep only the count of their own lists; the pieces live
    // on in their on-plane lists.
    for (const BSPNode* child : {root.infront.get(), root.inback.get()}) {
        EXPECT_TRUE(child->polys.items.empty());
        EXPECT_EQ(child->polys.Count(), 1);
    }
    ASSERT_TRUE(root.infront->onfront && root.inback->onfront);
    EXPECT_EQ(root.infront->onfront->items.at(0).points.size(), 3u);
    EXPECT_EQ(root.inback->onfront->items.at(0).points.size(), 4u);
    EXPECT_EQ(log.counters.shown, (std::vector<Counters>{
                                      CountersOf(1, 1, 0, 0, 2, 1),  // root
                                      CountersOf(1, 1, 1, 0, 2, 1),  // first on the plane
                                      CountersOf(1, 1, 1, 1, 2, 1),  // second cut
                                      CountersOf(2, 2, 1, 1, 1, 2),  // infront
                                      CountersOf(2, 2, 2, 1, 1, 2),
                                      CountersOf(1, 2, 2, 1, 1, 2),
                                      CountersOf(2, 2, 2, 1, 1, 3),  // inback
                                      CountersOf(2, 2, 3, 1, 1, 3),
                                      CountersOf(1, 2, 3, 1, 1, 3),
                                      CountersOf(0, 2, 3, 1, 1, 3),
                                  }));
    EXPECT_EQ(LinesStarting(log.file.text(), {"Plane of best", "Side of", "BSP'ing", "Splitting"}),
              (std::vector<std::string>{
                  "Plane of best splitter [0]: (0.000000, 0.000000, 1.000000) x -0.000000",
                  "Side of poly [    0]: 2 (xdOnFront)",
                  "Side of poly [    1]: 5 (xdCrossing)",
                  "Splitting polygon of 3 points...",
                  "BSP'ing infront.",
                  "Plane of best splitter [0]: (1.000000, 0.000000, 0.000000) x -0.000000",
                  "Side of poly [    0]: 2 (xdOnFront)",
                  "BSP'ing inback.",
                  "Plane of best splitter [0]: (1.000000, 0.000000, 0.000000) x -0.000000",
                  "Side of poly [    0]: 2 (xdOnFront)",
              }));
}

struct Candidate {
    bool clipper;
    int32_t inFront, inBack, crossing;
};

TEST(ChooseSplitter, passes_prefer_clippers_then_polygons_that_cut_nothing) {
    struct Case {
        const char* name;
        std::vector<Candidate> polys;
        std::size_t chosen;
    } cases[] = {
        {"clipper_that_cuts_beats_a_perfect_normal_splitter",
         {{false, 2, 2, 0}, {true, 5, 0, 3}},
         1},
        {"clipper_that_cuts_nothing_beats_a_better_clipper_that_cuts",
         {{true, 9, 0, 1}, {true, 0, 7, 0}},
         1},
        {"normal_that_cuts_nothing_beats_a_better_one_that_cuts",
         {{false, 1, 1, 2}, {false, 6, 0, 0}},
         1},
        {"equal_scores_keep_the_first", {{false, 3, 1, 0}, {false, 1, 3, 0}, {false, 0, 2, 0}}, 0},
        {"lowest_score_wins_whatever_its_position",
         {{false, 4, 0, 0}, {false, 2, 0, 0}, {false, 1, 1, 0}},
         2},
        {"first_pass_takes_only_scores_below_ten_million",
         {{true, 10'000'000, 0, 0}, {true, 5, 0, 1}},
         1},
        {"no_score_below_a_hundred_million_falls_back_to_position_0",
         {{false, 200'000'000, 0, 0}, {false, 100'000'000, 0, 0}},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        BSPNode node;
        for (std::size_t k = 0; k < c.polys.size(); ++k) {
            Poly poly;
            poly.clipper = c.polys[k].clipper;
            poly.countInFront = c.polys[k].inFront;
            poly.countInBack = c.polys[k].inBack;
            poly.countCrossing = c.polys[k].crossing;
            poly.plane = Plane{0, 0, 1, -static_cast<float>(k)};
            node.polys.Add(poly, nullptr);
        }
        EXPECT_EQ(ChooseSplitter(node), std::optional<std::size_t>(c.chosen));
        EXPECT_EQ(node.plane.d, -static_cast<float>(c.chosen));
        EXPECT_TRUE(log.boxes.messages.empty());
    }
}

TEST(Build, empty_root_shows_arse_and_builds_nothing) {
    LogCapture log;
    BSPNode root;
    BuildRoot(root);
    EXPECT_EQ(log.boxes.messages, std::vector<std::string>{"ARSE!"});
    EXPECT_FALSE(root.infront || root.inback || root.onfront || root.onback || root.flatList);
    EXPECT_EQ(root.plane.c, 1.0f);
    EXPECT_EQ(log.context.counters, CountersOf(0, 1, 0, 0, 0, 1));
}

TEST(Build, lone_polygon_off_a_degenerate_plane_stays_in_the_on_list_of_its_side) {
    struct Case {
        const char* name;
        float z;
        bool front;
    } cases[] = {{"in_front", 5, true}, {"behind", -5, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        BSPNode root;
        // Collinear corners: the plane becomes (0, 0, 1, 0), far from them.
        root.polys.Add(PolyOf({{0, 0, c.z}, {1, 0, c.z}, {2, 0, c.z}}), nullptr);
        BuildRoot(root);
        const std::unique_ptr<PolyList>& kept = c.front ? root.onfront : root.onback;
        const std::unique_ptr<PolyList>& other = c.front ? root.onback : root.onfront;
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->Count(), 1);
        EXPECT_FALSE(other || root.infront || root.inback);
        EXPECT_EQ(log.context.counters, CountersOf(0, 1, 1, 0, 1, 1));
        EXPECT_EQ(log.file.text().find("Side of poly"), std::string::npos);
        EXPECT_EQ(log.file.text().find("after sorting"), std::string::npos);
    }
}

TEST(Build, guard_flattens_a_partition_that_repeats_its_parents) {
    struct Case {
        const char* name;
        int32_t material;
        int32_t flatCount;
    } cases[] = {{"normal_polygons_are_kept", 0, 2},
                 {"clippers_leave_it_empty", kClipperMaterial, 0}};
    const Cupboard cupboard = ClipperCupboard();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        BSPNode root;
        // Both degenerate, both in front of their shared plane (0, 0, 1, 0):
        // every node hands both to infront again.
        root.polys.Add(PolyOf({{0, 0, 5}, {1, 0, 5}, {2, 0, 5}}, c.material), nullptr);
        root.polys.Add(PolyOf({{0, 0, 6}, {1, 0, 6}, {2, 0, 6}}, c.material), nullptr);
        BuildRoot(root, &cupboard);

        ASSERT_TRUE(root.infront);
        EXPECT_FALSE(root.flatList);
        const BSPNode& repeated = *root.infront;
        ASSERT_TRUE(repeated.flatList);
        EXPECT_EQ(repeated.flatList->Count(), c.flatCount);
        ASSERT_TRUE(repeated.infront);  // made by the sort, never built
        EXPECT_EQ(repeated.infront->polys.Count(), 2);
        EXPECT_FALSE(repeated.infront->infront || repeated.infront->onfront);
        EXPECT_EQ(log.memo.lines,
                  std::deque<std::string>{"Recursion occured, number of polys= 2(infront), "
                                          "0(onfront), 0(onback), 0(inback)"});
        EXPECT_EQ(log.context.counters, CountersOf(0, 2, 0, 0, 2, 2));
        EXPECT_EQ(log.counters.shown.back(), CountersOf(0, 2, 0, 0, 2, 2));
        EXPECT_EQ(log.counters.shown.size(), 4u);
    }
}

TEST(SortPolys, drops_a_piece_of_two_points_or_fewer) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        Poly poly;
        bool infront, inback;
    } cases[] = {
        // The edge from the infinite corner has no crossing point, so the
        // front piece keeps only two corners.
        {"front_piece_of_two_points", PolyOf({{inf, 0, 0}, {-1, 0, 0}, {-1, 1, 0}}), false, true},
        {"polygon_without_corners", Poly{}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        BSPNode node;
        node.plane = Plane{1, 0, 0, 0};
        node.polys.Add(c.poly, nullptr);
        SortPolys(node, nullptr);
        EXPECT_EQ(static_cast<bool>(node.infront), c.infront);
        EXPECT_EQ(static_cast<bool>(node.inback), c.inback);
        if (node.inback) {
            EXPECT_EQ(node.inback->polys.items.at(0).points.size(), 3u);
        }
        EXPECT_EQ(log.context.counters.splitPolys, 1);
    }
}

// Every field of a polygon, corners bit for bit (NaN included).
void ExpectSamePoly(const Poly& got, const Poly& want) {
    ASSERT_EQ(got.points.size(), want.points.size());
    EXPECT_EQ(
        std::memcmp(got.points.data(), want.points.data(), got.points.size() * sizeof(APoint)), 0);
    EXPECT_EQ(std::memcmp(&got.plane, &want.plane, sizeof(Plane)), 0);
    EXPECT_EQ((std::array{got.material, got.subMaterial, got.polyClass, got.memoKey}),
              (std::array{want.material, want.subMaterial, want.polyClass, want.memoKey}));
    EXPECT_EQ(got.clipper, want.clipper);
}

void ExpectSameList(const PolyList* got, const PolyList* want) {
    ASSERT_EQ(got == nullptr, want == nullptr);
    if (got == nullptr) {
        return;
    }
    ASSERT_EQ(got->items.size(), want->items.size());
    for (std::size_t i = 0; i < got->items.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "polygon " << i);
        ExpectSamePoly(got->items[i], want->items[i]);
    }
}

// The moving sort, which below the root hands the biggest child the node's
// own buffer and gathers that child's polygons at its front, fills every
// list as the copying sort does: the same polygons and pieces, in the same
// order, with the same clipper marks, log and counters.
TEST(SortPolys, moving_fills_the_lists_copying_does) {
    const Cupboard cupboard = ClipperCupboard();
    struct Case {
        const char* name;
        std::vector<Poly> polys;
    };
    std::vector<Case> cases = {
        {"awkward cloud", testing::AwkwardScene(7, 300, 20, true)},
        {"spiked shell", testing::SpikedShell(300, 10, 3)},
    };
    for (Case& c : cases) {
        for (std::size_t i = 0; i < c.polys.size(); i += 3) {
            c.polys[i].material = kClipperMaterial;
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t k = 0; k < c.polys.size(); k += 23) {
            // The plane and its reverse: most polygons go to opposite children.
            for (const float sign : {1.0f, -1.0f}) {
                SCOPED_TRACE(::testing::Message() << "splitter " << k << " sign " << sign);
                const Plane& p = c.polys[k].plane;
                const Plane plane{sign * p.a, sign * p.b, sign * p.c, sign * p.d};
                struct Sorted {
                    std::unique_ptr<BSPNode> node = std::make_unique<BSPNode>();
                    std::string log;
                    Counters counters;
                };
                const auto sort = [&](PolyHandoff handoff) {
                    Sorted out;
                    LogCapture log;
                    for (const Poly& poly : c.polys) {
                        out.node->polys.Add(poly, &cupboard);
                    }
                    out.node->plane = plane;
                    SortPolys(*out.node, &cupboard, handoff);
                    out.log = log.file.text();
                    out.counters = log.context.counters;
                    return out;
                };
                const Sorted copy = sort(PolyHandoff::Copy);
                const Sorted move = sort(PolyHandoff::Move);
                const BSPNode* copied = copy.node.get();
                const BSPNode* moved = move.node.get();
                for (const auto& [got, want] :
                     {std::pair{moved->infront ? &moved->infront->polys : nullptr,
                                copied->infront ? &copied->infront->polys : nullptr},
                      std::pair{moved->inback ? &moved->inback->polys : nullptr,
                                copied->inback ? &copied->inback->polys : nullptr},
                      std::pair{moved->onfront.get(), copied->onfront.get()},
                      std::pair{moved->onback.get(), copied->onback.get()}}) {
                    ExpectSameList(got, want);
                }
                EXPECT_EQ(moved->polys.Count(), copied->polys.Count());
                EXPECT_EQ(move.log, copy.log);
                EXPECT_EQ(move.counters, copy.counters);
            }
        }
    }
}

TEST(Build, every_copy_is_marked_by_its_material) {
    const Cupboard cupboard = ClipperCupboard();
    LogCapture log(false);
    BSPNode root;
    // Added unmarked, as the scene's list is; the build's copies get the mark.
    root.polys.Add(PolyOf({{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}}, kClipperMaterial), nullptr);
    root.polys.Add(PolyOf({{0, -0.5f, -1}, {0, 0.5f, -1}, {0, 0, 1}}, kClipperMaterial), nullptr);
    BuildRoot(root, &cupboard);
    ASSERT_TRUE(root.onfront && root.infront && root.inback);
    EXPECT_FALSE(root.polys.items[0].clipper);  // the node's own list is left as given
    EXPECT_TRUE(root.onfront->items[0].clipper);
    // Both pieces of the cut one, which the built children hold on their plane.
    ASSERT_TRUE(root.infront->onfront && root.inback->onfront);
    EXPECT_TRUE(root.infront->onfront->items[0].clipper);
    EXPECT_TRUE(root.inback->onfront->items[0].clipper);
}

}  // namespace
}  // namespace tarvel
