#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "bsp/bsp_builder.h"
#include "bsp/bsp_node_steps.h"
#include "platform/sized_thread.h"
#include "support/awkward_polys.h"
#include "support/bsp_fixtures.h"
#include "support/tree_shape.h"

namespace tarvel {
namespace {

using testing::ClipperCupboard;
using testing::kClipperMaterial;
using testing::LogCapture;

struct SceneShape {
    uint32_t seed;
    int triangles;
    double coplanarShare;  // on one of a few shared planes, either winding
    double clipperShare;
    double degenerateShare = 0;  // collinear corners: the plane (0, 0, 1, 0)
};

// Random triangles in a 20-unit cube. Each carries its input position in
// subMaterial, so the pieces it is cut into can be traced back to it.
std::vector<Poly> RandomScene(const SceneShape& shape) {
    std::mt19937 rng(shape.seed);
    std::uniform_real_distribution<float> coord(-10.0f, 10.0f);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> level(-2, 2);
    std::vector<Poly> polys;
    for (int i = 0; i < shape.triangles; ++i) {
        Poly poly;
        const bool coplanar = chance(rng) < shape.coplanarShare;
        const float z = coplanar ? 3.0f * static_cast<float>(level(rng)) : 0.0f;
        const bool degenerate = chance(rng) < shape.degenerateShare;
        for (int k = 0; k < 3; ++k) {
            const float x = coord(rng), y = coord(rng);
            poly.points.push_back(testing::At(x, y, coplanar ? z : coord(rng)));
        }
        if (degenerate) {
            poly.points[2] = poly.points[1];
        }
        poly.material = chance(rng) < shape.clipperShare ? kClipperMaterial : 0;
        poly.subMaterial = i;
        ComputePlane(poly);
        polys.push_back(std::move(poly));
    }
    return polys;
}

void FillRoot(BSPNode& root, const std::vector<Poly>& polys, const Cupboard* materials) {
    for (const Poly& poly : polys) {
        root.polys.Add(poly, materials);
    }
}

// Twice the area vector of a polygon, summed over its fan of triangles.
double Area(const Poly& poly) {
    double sx = 0, sy = 0, sz = 0;
    const APoint& o = poly.points.empty() ? APoint{} : poly.points[0];
    for (std::size_t k = 1; k + 1 < poly.points.size(); ++k) {
        const APoint& p = poly.points[k];
        const APoint& q = poly.points[k + 1];
        const double ax = double{p.x} - o.x, ay = double{p.y} - o.y, az = double{p.z} - o.z;
        const double bx = double{q.x} - o.x, by = double{q.y} - o.y, bz = double{q.z} - o.z;
        sx += ay * bz - az * by;
        sy += az * bx - ax * bz;
        sz += ax * by - ay * bx;
    }
    return 0.5 * std::sqrt(sx * sx + sy * sy + sz * sz);
}

// What the finished tree holds, gathered without recursion.
struct TreeFacts {
    int32_t builtNodes = 0;
    int32_t maxDepth = 0;
    int32_t onPlanePolys = 0;        // an xdOnEither polygon is in both lists
    int32_t offPlane = 0;            // on-plane polygons with a corner off the plane
    std::map<int32_t, double> area;  // by input position; each piece once
};

void AddArea(TreeFacts& facts, const PolyList* list, const Plane* skipOnEither) {
    if (list == nullptr) {
        return;
    }
    for (const Poly& poly : list->items) {
        // The onback copy of an xdOnEither polygon repeats its onfront copy.
        if (skipOnEither == nullptr || PolySide(*skipOnEither, poly) != Side::xdOnEither) {
            facts.area[poly.subMaterial] += Area(poly);
        }
    }
}

void CheckOnPlane(TreeFacts& facts, const BSPNode& node, const PolyList* list) {
    if (list == nullptr) {
        return;
    }
    facts.onPlanePolys += list->Count();
    for (const Poly& poly : list->items) {
        // A lone polygon beside a degenerate plane is kept on its side.
        const Side side = PolySide(node.plane, poly);
        if (node.polys.Count() == 1 && (side == Side::xdInFront || side == Side::xdInBack)) {
            continue;
        }
        for (const APoint& p : poly.points) {
            facts.offPlane += PointSide(node.plane, p) != Side::xdOnEither;
        }
    }
}

TreeFacts Gather(const BSPNode& root) {
    TreeFacts facts;
    std::vector<std::pair<const BSPNode*, int32_t>> pending{{&root, 1}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        facts.builtNodes += 1;
        facts.maxDepth = std::max(facts.maxDepth, depth);
        CheckOnPlane(facts, *node, node->onfront.get());
        CheckOnPlane(facts, *node, node->onback.get());
        AddArea(facts, node->onfront.get(), nullptr);
        AddArea(facts, node->onback.get(), &node->plane);
        for (const BSPNode* child : {node->infront.get(), node->inback.get()}) {
            if (child == nullptr) {
                continue;
            }
            if (node->flatList) {
                AddArea(facts, &child->polys, nullptr);  // never built
            } else {
                pending.emplace_back(child, depth + 1);
            }
        }
    }
    return facts;
}

TEST(BuildProperties, random_scenes_keep_area_and_count_what_they_place) {
    const Cupboard materials = ClipperCupboard();
    const SceneShape shapes[] = {
        {1, 1, 0, 0},     {2, 2, 0, 0},      {3, 7, 0.5, 0.2},
        {4, 30, 0, 0},    {5, 60, 0.6, 0.1}, {6, 120, 0.3, 0.05},
        {7, 200, 0, 0.3}, {8, 300, 0.5, 0},  {9, 60, 0.2, 0.2, 0.3},
    };
    for (const SceneShape& shape : shapes) {
        SCOPED_TRACE(::testing::Message() << "seed " << shape.seed);
        LogCapture log(false);
        const std::vector<Poly> input = RandomScene(shape);
        BSPNode root;
        FillRoot(root, input, &materials);
        Build(root, PrevCounts{}, &materials);

        const TreeFacts facts = Gather(root);
        const Counters& c = log.context.counters;
        EXPECT_EQ(c.nodeCount, facts.builtNodes);
        EXPECT_EQ(c.maxDepth, facts.maxDepth);
        EXPECT_EQ(c.polysDone, facts.onPlanePolys);
        EXPECT_EQ(c.depth, 0);
        EXPECT_EQ(facts.offPlane, 0);
        for (const Poly& poly : input) {
            const double expected = Area(poly);
            const double kept =
                facts.area.count(poly.subMaterial) ? facts.area.at(poly.subMaterial) : 0;
            EXPECT_NEAR(kept, expected, 1e-4 * (1 + expected)) << "input " << poly.subMaterial;
        }
    }
}

// The build as a plain recursion over the same steps: what the iterative walk
// must match, line for line.
void BuildRecursively(BSPNode& node, PrevCounts prev, const Cupboard* materials) {
    Counters& c = ProgressCounters();
    c.listSize = node.polys.Count();
    c.depth += 1;
    c.nodeCount += 1;
    c.maxDepth = std::max(c.maxDepth, c.depth);
    UpdateCounters();
    PrepareNode(node, BuildPlan{});
    ChooseSplitter(node);
    SortPolys(node, materials);
    const PrevCounts counts = SortedCounts(node);
    if (counts == prev) {
        Flatten(node, counts, materials);
    } else {
        if (node.infront && !node.infront->polys.Empty()) {
            LogFile("BSP'ing infront.\n");
            BuildRecursively(*node.infront, counts, materials);
        }
        if (node.inback && !node.inback->polys.Empty()) {
            LogFile("BSP'ing inback.\n");
            BuildRecursively(*node.inback, counts, materials);
        }
    }
    c.depth -= 1;
    UpdateCounters();
}

// Faces of a convex prism around the z axis, each facing outwards: every
// face has all the others behind it, so each node keeps one and hands the
// rest to inback, and the tree is as deep as the scene has faces.
std::vector<Poly> ConvexFan(int faces) {
    std::vector<Poly> polys;
    const double radius = faces;
    const double step = 2 * std::numbers::pi / faces;
    const double half = 0.3 * radius * std::tan(std::numbers::pi / faces);
    for (int k = 0; k < faces; ++k) {
        const double cx = radius * std::cos(k * step), cy = radius * std::sin(k * step);
        const double tx = -std::sin(k * step), ty = std::cos(k * step);
        const auto f = [](double v) { return static_cast<float>(v); };
        Poly poly;
        poly.points = {testing::At(f(cx - half * tx), f(cy - half * ty), -1),
                       testing::At(f(cx + half * tx), f(cy + half * ty), -1),
                       testing::At(f(cx), f(cy), 1)};
        poly.subMaterial = k;
        polys.push_back(std::move(poly));
    }
    return polys;
}

struct Recorded {
    std::string log;
    std::deque<std::string> memo;
    std::vector<Counters> shown;
    std::vector<std::string> boxes;
};

template <typename BuildFn>
Recorded Record(const std::vector<Poly>& input, const Cupboard* materials, BuildFn build) {
    LogCapture log;
    BSPNode root;
    FillRoot(root, input, materials);
    build(root);
    return Recorded{log.file.text(), log.memo.lines, log.counters.shown, log.boxes.messages};
}

TEST(BuildProperties, iterative_walk_matches_the_recursive_build_line_for_line) {
    const Cupboard materials = ClipperCupboard();
    std::vector<Poly> guarded = RandomScene({11, 12, 0.4, 0.2});
    // Two degenerate triangles in front of their shared plane make the guard
    // fire somewhere below the root.
    guarded.push_back(testing::PolyOf({{0, 0, 15}, {1, 0, 15}, {2, 0, 15}}));
    guarded.push_back(testing::PolyOf({{0, 0, 16}, {1, 0, 16}, {2, 0, 16}}));
    const std::vector<std::vector<Poly>> scenes = {
        RandomScene({10, 40, 0.3, 0.1}), guarded, ConvexFan(40), {}};
    for (std::size_t s = 0; s < scenes.size(); ++s) {
        SCOPED_TRACE(::testing::Message() << "scene " << s);
        const Recorded walked = Record(scenes[s], &materials, [&](BSPNode& root) {
            Build(root, PrevCounts{}, &materials, BuildStrategy::Literal);
        });
        const Recorded recursed = Record(scenes[s], &materials, [&](BSPNode& root) {
            BuildRecursively(root, PrevCounts{}, &materials);
        });
        EXPECT_FALSE(walked.log.empty());
        EXPECT_TRUE(walked.log == recursed.log);
        EXPECT_EQ(walked.memo, recursed.memo);
        EXPECT_EQ(walked.shown, recursed.shown);
        EXPECT_EQ(walked.boxes, recursed.boxes);
    }
}

TEST(BuildProperties, both_strategies_build_the_same_tree) {
    const Cupboard materials = ClipperCupboard();
    // The spiked shell is a chain whose children get the counters of the
    // node above carried down, with cut pieces among them.
    std::vector<Poly> spiked = testing::SpikedShell(120, 50, 20);
    for (std::size_t i = 0; i < spiked.size(); i += 11) {
        spiked[i].material = kClipperMaterial;
    }
    const std::vector<std::vector<Poly>> scenes = {RandomScene({21, 80, 0.4, 0.1}), spiked};
    for (std::size_t s = 0; s < scenes.size(); ++s) {
        SCOPED_TRACE(::testing::Message() << "scene " << s);
        const auto with = [&](BuildStrategy strategy) {
            return Record(scenes[s], &materials,
                          [&](BSPNode& root) { Build(root, PrevCounts{}, &materials, strategy); });
        };
        const Recorded literal = with(BuildStrategy::Literal);
        const Recorded fast = with(BuildStrategy::Fast);
        EXPECT_TRUE(literal.log == fast.log);
        EXPECT_EQ(literal.shown, fast.shown);
    }
}

TEST(BuildProperties, without_the_log_both_strategies_build_the_same_tree) {
    // Without a log file the fast build searches for each splitter instead
    // of counting every pair; the nodes below inherit ranks and crossings.
    const Cupboard materials = ClipperCupboard();
    // A shell peels off one triangle per node: its children carry the
    // counters found at the node above, pieces and clippers included.
    std::vector<Poly> spiked = testing::SpikedShell(300, 50, 20);
    for (std::size_t i = 0; i < spiked.size(); i += 11) {
        spiked[i].material = kClipperMaterial;
    }
    const std::vector<std::vector<Poly>> scenes = {RandomScene({31, 400, 0.3, 0.1, 0.02}),
                                                   RandomScene({32, 300, 0.0, 0.0}),
                                                   ConvexFan(300),
                                                   testing::Shell(400, 50),
                                                   spiked,
                                                   testing::TurnedBoxesInACloud(14)};
    for (std::size_t s = 0; s < scenes.size(); ++s) {
        SCOPED_TRACE(::testing::Message() << "scene " << s);
        const auto with = [&](BuildStrategy strategy, std::string& shape) {
            LogCapture log(false);
            BSPNode root;
            FillRoot(root, scenes[s], &materials);
            Build(root, PrevCounts{}, &materials, strategy);
            shape = testing::TreeShape(root);
            return Recorded{"", log.memo.lines, log.counters.shown, log.boxes.messages};
        };
        std::string literalShape, fastShape;
        const Recorded literal = with(BuildStrategy::Literal, literalShape);
        const Recorded fast = with(BuildStrategy::Fast, fastShape);
        EXPECT_TRUE(literalShape == fastShape);
        EXPECT_EQ(literal.memo, fast.memo);
        EXPECT_EQ(literal.shown, fast.shown);
    }
}

// Runs work on a thread with a stack of the given size: too small for a build
// that recursed once per level of a deep tree.
void RunOnSmallStack(std::size_t bytes, std::function<void()> work) {
    const auto run = [](void* arg) { (*static_cast<std::function<void()>*>(arg))(); };
    ASSERT_TRUE(RunOnThreadWithStack(run, &work, bytes));
}

TEST(BuildProperties, convex_fan_a_thousand_deep_builds_on_a_small_stack) {
    constexpr int kFaces = 1000;
    const std::vector<Poly> fan = ConvexFan(kFaces);
    Counters counters;
    TreeFacts facts;
    RunOnSmallStack(std::size_t{64} << 10, [&] {
        LogCapture log(false);
        BSPNode root;
        FillRoot(root, fan, nullptr);
        Build(root, PrevCounts{}, nullptr, BuildStrategy::Fast);
        counters = log.context.counters;
        facts = Gather(root);
    });
    EXPECT_EQ(counters.maxDepth, kFaces);
    EXPECT_EQ(facts.builtNodes, kFaces);
    EXPECT_EQ(counters.polysDone, facts.onPlanePolys);
    EXPECT_EQ(counters.depth, 0);
}

}  // namespace
}  // namespace tarvel
