#include "bsp/parallel/splitter_prefetch.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "support/awkward_polys.h"
#include "support/bsp_fixtures.h"

namespace tarvel {
namespace {

using testing::AwkwardScene;
using testing::LogCapture;

struct Nodes {
    SearchCache cache;
    std::vector<std::unique_ptr<BSPNode>> nodes;
    std::vector<std::optional<std::size_t>> expected;
};

Nodes MakeNodes(int count) {
    Nodes made;
    for (int k = 0; k < count; ++k) {
        auto node = std::make_unique<BSPNode>();
        node->polys.items = AwkwardScene(static_cast<uint64_t>(40 + k), 150 + 90 * k, 20, false);
        // Its plane raises a message box wherever it is searched.
        node->polys.items[static_cast<std::size_t>(k)].points.resize(2);
        BSPNode copy;
        copy.polys.items = node->polys.items;
        SearchCache alone;
        alone.Enter(copy.polys.items);
        made.expected.push_back(PlanAndSearch(copy, alone));
        made.cache.Enter(node->polys.items);
        made.nodes.push_back(std::move(node));
    }
    return made;
}

TEST(SplitterPrefetch, gives_what_a_search_here_gives_in_any_order) {
    enum class Order { LastQueuedFirst, FirstQueuedFirst, SomeNeverQueued };
    // The threads of the budget beside the one the build holds: with none
    // the build searches every node itself. -1: no budget at all.
    for (int spare : {-1, 0, 1}) {
        for (Order order :
             {Order::LastQueuedFirst, Order::FirstQueuedFirst, Order::SomeNeverQueued}) {
            SCOPED_TRACE(::testing::Message() << spare << " " << static_cast<int>(order));
            Nodes made = MakeNodes(6);
            LogCapture log(false);
            std::optional<ThreadBudget> budget;
            ThreadBudget::Grant build;
            if (spare >= 0) {
                budget.emplace(static_cast<unsigned>(1 + spare));
                build = budget->Acquire();
            }
            SplitterPrefetch prefetch(made.cache, budget ? &*budget : nullptr);
            for (std::size_t k = 0; k < made.nodes.size(); ++k) {
                if (order != Order::SomeNeverQueued || k % 2 == 0) {
                    prefetch.Submit(*made.nodes[k]);
                }
            }
            for (std::size_t i = 0; i < made.nodes.size(); ++i) {
                const std::size_t k =
                    order == Order::FirstQueuedFirst ? i : made.nodes.size() - 1 - i;
                EXPECT_EQ(prefetch.Take(*made.nodes[k]), made.expected[k]) << k;
                EXPECT_EQ(log.boxes.messages.size(), i + 1) << k;
            }
        }
    }
}

TEST(SplitterPrefetch, stops_with_nodes_never_taken) {
    Nodes made = MakeNodes(4);
    {
        SplitterPrefetch prefetch(made.cache);
        for (auto& node : made.nodes) {
            prefetch.Submit(*node);
        }
        EXPECT_EQ(prefetch.Take(*made.nodes[1]), made.expected[1]);
    }
}

}  // namespace
}  // namespace tarvel
