#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "driver/import.h"
#include "log/log.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class CounterRecorder final : public CounterSink {
  public:
    void CountersChanged(const Counters& counters) override { shown.push_back(counters); }
    std::vector<Counters> shown;
};

class ImportTest : public ::testing::Test {
  protected:
    ImportTest() : scope_(context_) {
        context_.memo = &memo_;
        context_.counterSink = &counters_;
    }

    // A file of the given bytes in the test's temporary directory.
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        const std::string file = (dir_ / name).string();
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    testing::TempDir dir_{"tarvel-import-test"};
    LogContext context_;
    VectorMemoSink memo_;
    CounterRecorder counters_;
    ScopedLogContext scope_;
};

TEST_F(ImportTest, begin_pick_resets_all_counters_and_says_so) {
    ProgressCounters() = Counters{1, 2, 3, 4, 5, 6, 7};
    BeginPick();
    ASSERT_EQ(counters_.shown.size(), 1u);
    EXPECT_EQ(counters_.shown[0], Counters{});
    EXPECT_THAT(memo_.lines, ElementsAre("Opening ASE"));
}

TEST_F(ImportTest, imports_the_bundled_example) {
    ProgressCounters().polysDone = 9;
    std::optional<ImportedScene> imported = ImportAse(TARVEL_EXAMPLES_DIR "/village.ase");
    ASSERT_TRUE(imported.has_value());
    EXPECT_EQ(imported->scene.Count(), 5);
    EXPECT_EQ(imported->cupboard.Count(), 7);
    EXPECT_EQ(imported->polys.Count(), 72);
    ASSERT_FALSE(counters_.shown.empty());
    EXPECT_EQ(counters_.shown.back().inputPolys, 72);
    EXPECT_EQ(counters_.shown.back().polysDone, 0);
    // One clipper material, found by its bare name once the names are fixed.
    imported->cupboard.FixBitmapNames();
    EXPECT_EQ(imported->cupboard.FindBitmapName(4, 0), "clipper");
    EXPECT_EQ(imported->cupboard.FindBitmapName(1, 1), "roof_bump");
}

TEST_F(ImportTest, ends_with_the_poly_list_steps) {
    const std::string file = WriteFile("empty.ase", "");
    ASSERT_TRUE(ImportAse(file).has_value());
    EXPECT_THAT(memo_.lines,
                ElementsAre("Parsing file...", "Compiling geoms into scene", "0 materials",
                            "Adding scene to polylist", "Build PolyList from Scene..."));
    EXPECT_EQ(ProgressCounters().inputPolys, 0);
}

TEST_F(ImportTest, a_file_that_does_not_open_changes_nothing_but_the_memo) {
    ProgressCounters().inputPolys = 12;
    const std::string missing = TARVEL_EXAMPLES_DIR "/missing.ase";
    EXPECT_FALSE(ImportAse(missing).has_value());
    EXPECT_THAT(memo_.lines, ElementsAre("Error opening file: '" + missing + "'"));
    EXPECT_EQ(ProgressCounters().inputPolys, 12);
    EXPECT_TRUE(counters_.shown.empty());
}

TEST_F(ImportTest, faces_outside_the_vertex_list_cost_only_themselves) {
    const std::string file = WriteFile(
        "bad_faces.ase",
        "*GEOMOBJECT {\r\n"
        "*MESH_VERTEX 0 0.0 0.0 0.0\r\n*MESH_VERTEX 1 1.0 0.0 0.0\r\n"
        "*MESH_VERTEX 2 0.0 1.0 0.0\r\n"
        "*MESH_FACE 0: A: 0 B: 1 C: 3 AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID 0\r\n"
        "*MESH_FACE 1: A: -2 B: 1 C: 2 AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID 0\r\n"
        "*MESH_FACE 2: A: 0 B: 99999999999999 C: 2 AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 "
        "*MESH_MTLID 0\r\n"
        "*MESH_FACE 3: A: 0 B: 1 C: 2 AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID 0\r\n"
        "}\r\n");
    std::optional<ImportedScene> imported = ImportAse(file);
    ASSERT_TRUE(imported.has_value());
    EXPECT_EQ(imported->scene.GeomAt(0).faces.size(), 4u);
    EXPECT_EQ(imported->polys.Count(), 1);
    EXPECT_EQ(std::count(memo_.lines.begin(), memo_.lines.end(), "va|vb|vc == NULL, doh"), 3);
}

}  // namespace
}  // namespace tarvel
