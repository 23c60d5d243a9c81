#include <gtest/gtest.h>

#include <string>

#include "bench/generated_import.h"
#include "bsp/bsp_builder.h"
#include "log/log.h"
#include "scene_generator/race_scene.h"
#include "support/tree_shape.h"

namespace tarvel::scenegen {
namespace {

using testing::ImportGenerated;

// Large enough that the fast build searches the waiting nodes' splitters on
// a second thread; its clipper walls make long chains of nodes.
TEST(TrackBuild, fast_and_literal_build_the_same_tree) {
    testing::Imported imported = ImportGenerated(GenerateRaceScene(4500, 2), "track_build");
    ASSERT_TRUE(imported.result.has_value());
    const testing::BuiltTree literal =
        testing::BuildImported(*imported.result, BuildStrategy::Literal);
    const testing::BuiltTree fast = testing::BuildImported(*imported.result, BuildStrategy::Fast);
    EXPECT_TRUE(tarvel::testing::TreeShape(*literal.root) ==
                tarvel::testing::TreeShape(*fast.root));
    EXPECT_EQ(literal.memo, fast.memo);
    EXPECT_EQ(literal.counters.nodeCount, fast.counters.nodeCount);
    EXPECT_EQ(literal.counters.splitPolys, fast.counters.splitPolys);
    EXPECT_EQ(literal.counters.polysDone, fast.counters.polysDone);
}

}  // namespace
}  // namespace tarvel::scenegen
