#include "bsp/parallel/build_ahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bsp/build_plan.h"
#include "bsp/parallel/build_follow.h"
#include "support/awkward_polys.h"
#include "support/bsp_fixtures.h"
#include "support/tree_shape.h"

namespace tarvel {
namespace {

using testing::LogCapture;

// Everything a build says and makes, and what a thread that follows it sees.
struct Outcome {
    std::string shape;
    std::deque<std::string> memo;
    std::vector<std::string> boxes;
    Counters counters;
    FlatLists flats;
    // Each node's parts as a follower found them, in the build's order.
    std::string followed;
};

// Awaits every node in the build's order, as the conversion does.
std::string Follow(const BuildFollow& follow, const BSPNode& root) {
    std::string seen;
    std::vector<const BSPNode*> pending{&root};
    while (!pending.empty()) {
        const BSPNode* node = pending.back();
        pending.pop_back();
        follow.Await(*node);
        const NodeParts& p = node->parts;
        seen += {p.inFront ? 'I' : '-', p.onFront ? 'F' : '-', p.onBack ? 'B' : '-',
                 p.inBack ? 'b' : '-'};
        for (const BSPNode* child : {node->inback.get(), node->infront.get()}) {
            if (child != nullptr) {
                pending.push_back(child);
            }
        }
    }
    return seen;
}

Outcome BuildFollowed(const std::vector<Poly>& scene, bool ahead, ThreadBudget* budget) {
    LogCapture log(false);
    log.context.budget = budget;
    const Cupboard materials = testing::ClipperCupboard();
    BSPNode root;
    for (const Poly& poly : scene) {
        root.polys.Add(poly, &materials);
    }
    BuildPlan plan = PlanBuild({.strategy = BuildStrategy::Fast, .readsTree = true, .threads = 2});
    plan.prefetch = ahead;
    BuildFollow follow;
    std::string followed;
    std::thread follower([&] {
        try {
            followed = Follow(follow, root);
        } catch (const BuildAbandoned&) {
        }
    });
    Outcome out;
    try {
        out.flats = Build(root, PrevCounts{}, &materials, plan, &follow);
    } catch (...) {
        follow.Abandon();
        follower.join();
        throw;
    }
    follower.join();
    out.shape = testing::TreeShape(root);
    out.memo = log.memo.lines;
    out.boxes = log.boxes.messages;
    out.counters = log.context.counters;
    out.followed = followed;
    return out;
}

// Large enough for a helper, with clippers, which are chosen first; its
// degenerate and coplanar triangles make the guard fire at many nodes.
std::vector<Poly> SceneWorthAHelper(uint64_t seed) {
    std::vector<Poly> scene = testing::AwkwardScene(seed, 6000, 80, false);
    for (std::size_t i = 0; i < scene.size(); i += 7) {
        scene[i].material = testing::kClipperMaterial;
    }
    return scene;
}

TEST(BuildAhead, a_build_with_a_helper_says_and_makes_what_one_without_does) {
    // The threads of the budget: 1 leaves the helper none; 0 is no budget.
    for (const unsigned threads : {0u, 1u, 2u}) {
        SCOPED_TRACE(threads);
        const std::vector<Poly> scene = SceneWorthAHelper(50 + threads);
        const Outcome alone = BuildFollowed(scene, false, nullptr);
        std::optional<ThreadBudget> budget;
        ThreadBudget::Grant build;
        if (threads > 0) {
            budget.emplace(threads);
            build = budget->Acquire();
        }
        const Outcome helped = BuildFollowed(scene, true, budget ? &*budget : nullptr);
        EXPECT_GT(alone.flats.lists, 0);
        EXPECT_TRUE(helped.shape == alone.shape);
        EXPECT_EQ(helped.memo, alone.memo);
        EXPECT_EQ(helped.boxes, alone.boxes);
        EXPECT_EQ(helped.counters, alone.counters);
        EXPECT_EQ(helped.flats, alone.flats);
        EXPECT_TRUE(helped.followed == alone.followed);
    }
}

// Stand-in subtrees: each node's record names it and the thread that built
// it; `inner` is queued below `outer`, whose build waits until the build's
// thread has taken `inner` from it.
TEST(BuildAhead, an_owner_waiting_for_a_subtree_builds_what_is_queued_inside_it) {
    BSPNode outer, inner, failing;
    for (BSPNode* node : {&outer, &inner, &failing}) {
        node->polys.items.resize(BuildAhead::kMinPolys);
    }
    std::atomic<bool> outerStarted{false}, innerStarted{false};
    const std::thread::id buildThread = std::this_thread::get_id();
    const auto build = [&](BSPNode& node, const BuildAhead::Start&, BuildAhead::Queue& queue,
                           std::vector<BSPNode*>&) {
        const bool here = std::this_thread::get_id() == buildThread;
        LogMemo(&node == &outer ? "outer" : &node == &inner ? "inner" : "failing");
        LogMemo(here ? "on the build's thread" : "on the helper");
        if (&node == &failing) {
            throw std::runtime_error("failing");
        }
        if (&node == &outer) {
            queue.Submit(inner, PrevCounts{}, {});
            outerStarted = true;
            outerStarted.notify_all();
            innerStarted.wait(false);
            const std::optional<BuiltAhead> built = queue.Take(inner);
            EXPECT_TRUE(built.has_value());
            if (built) {
                for (const BuiltAhead::Line& line : built->lines) {
                    LogMemo(line.text);
                }
            }
        } else {
            innerStarted = true;
            innerStarted.notify_all();
        }
        return FlatLists{};
    };
    const auto said = [](const BuiltAhead& built) {
        std::vector<std::string> lines;
        for (const BuiltAhead::Line& line : built.lines) {
            lines.push_back(line.text);
        }
        return lines;
    };
    BuildAhead crew(build, nullptr);
    BuildAhead::Queue queue = crew.OpenTree();
    queue.Submit(outer, PrevCounts{}, {});
    outerStarted.wait(false);
    queue.Submit(failing, PrevCounts{}, {});
    const std::optional<BuiltAhead> built = queue.Take(outer);
    ASSERT_TRUE(built.has_value());
    EXPECT_EQ(said(*built), (std::vector<std::string>{"outer", "on the helper", "inner",
                                                      "on the build's thread"}));
    // The helper may or may not have started on the last one: either way
    // its failure comes out of Take, or the build does it itself.
    std::optional<BuiltAhead> last;
    try {
        last = queue.Take(failing);
        EXPECT_FALSE(last.has_value());
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "failing");
    }
}

}  // namespace
}  // namespace tarvel
