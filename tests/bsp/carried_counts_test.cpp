#include "bsp/search/carried_counts.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "bsp/bsp_node_steps.h"
#include "bsp/side_counting.h"
#include "support/awkward_polys.h"
#include "support/known_counters.h"

namespace tarvel {
namespace {

using testing::AwkwardScene;
using testing::ExpectKnownCountersExact;
using testing::Shell;
using testing::SpikedShell;

// A child's carried counters against a fresh count of its list.
int ExpectCarriedExact(const BSPNode* child, const SearchCache& cache) {
    return child == nullptr ? 0 : ExpectKnownCountersExact(child->polys.items, cache);
}

TEST(CarriedCounts, match_a_fresh_count_of_each_child) {
    struct Case {
        const char* name;
        std::vector<Poly> polys;
        int minCarried;  // over all the splitters tried
    };
    std::vector<Case> cases;
    cases.push_back({"shell: one triangle peeled off", Shell(300, 50), 3000});
    cases.push_back({"spiked shell: pieces gained", SpikedShell(300, 50, 25), 3000});
    {
        // A cloud inside: the shell's children keep it, the cloud's own
        // planes split the list too evenly to carry anything.
        std::vector<Poly> polys = Shell(400, 80);
        for (Poly& poly : AwkwardScene(41, 20, 20, true)) {
            polys.push_back(std::move(poly));
        }
        cases.push_back({"shell around an awkward cloud", polys, 5000});
    }
    cases.push_back({"awkward cloud alone", AwkwardScene(42, 300, 20, false), 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Poly> counted = c.polys;
        CountSidesLiteral(counted);
        int carried = 0;
        for (std::size_t k = 0; k < counted.size(); k += 29) {
            SCOPED_TRACE(::testing::Message() << "splitter " << k);
            BSPNode node;
            node.polys.items = counted;
            node.plane = counted[k].plane;
            SearchCache cache;
            cache.Enter(node.polys.items);
            for (const Poly& poly : node.polys.items) {
                cache[poly].countsKnown = true;
            }
            const std::vector<Side> sides = CarryCounts(node.polys.items, cache, node.plane);
            ASSERT_EQ(sides.size(), counted.size());
            for (std::size_t i = 0; i < counted.size(); ++i) {
                ASSERT_EQ(sides[i], PolySide(node.plane, counted[i])) << i;
            }
            SortPolys(node, nullptr, PolyHandoff::Move, sides, &cache);
            carried += ExpectCarriedExact(node.infront.get(), cache);
            carried += ExpectCarriedExact(node.inback.get(), cache);
            // The on-plane lists are never searched again.
            for (const PolyList* list : {node.onfront.get(), node.onback.get()}) {
                for (const Poly& poly : list ? list->items : std::vector<Poly>{}) {
                    EXPECT_FALSE(cache[poly].countsKnown);
                }
            }
        }
        EXPECT_GE(carried, c.minCarried);
    }
}

TEST(CarriedCounts, nothing_known_nothing_computed) {
    std::vector<Poly> polys = Shell(50, 10);
    SearchCache cache;
    cache.Enter(polys);
    EXPECT_TRUE(CarryCounts(polys, cache, polys[0].plane).empty());
}

}  // namespace
}  // namespace tarvel
