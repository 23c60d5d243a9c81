#include <gtest/gtest.h>

#include "support/threedo_bytes.h"
#include "threedo/threedo_file.h"

namespace tarvel {
namespace {

using testing::Assemble;
using testing::FloatBits;
using testing::LayoutOf;
using testing::PrimBuilder;

TEST(LoadThreeDo, reads_pools_names_and_sections_of_the_triangle_file) {
    testing::FileParts parts = testing::TriangleInNode6();
    parts.planes = {{0.0f, 0.6f, 0.8f, -2.5f}};
    const std::vector<uint8_t> bytes = Assemble(parts);
    ASSERT_EQ(bytes.size(), 220u);
    const LoadResult result = LoadThreeDo(bytes);
    ASSERT_TRUE(result.ok()) << result.error.what;
    const ThreeDoFile& file = *result.file;
    EXPECT_EQ(file.headerLength, 208u);
    EXPECT_EQ(file.xyzs.position, 12u);
    EXPECT_EQ(file.xyzs.length, 48u);
    EXPECT_EQ(file.plan.position, 72u);
    EXPECT_EQ(file.strn.position, 100u);
    EXPECT_EQ(file.strn.length, 5u);
    EXPECT_EQ(file.strn.padding, 3u);
    EXPECT_EQ(file.prim.position, 120u);
    EXPECT_EQ(file.prim.length, 88u);
    EXPECT_EQ(file.rootOffset, 76u);
    EXPECT_EQ(file.depth, 3u);

    ASSERT_EQ(file.vertices.count(), 3);
    EXPECT_EQ(file.vertices.entryAt(1)->c1, 1.0);
    EXPECT_EQ(file.vertices.entryAt(2)->c2, 1.0);
    // Planes are kept as (d, a, b, c).
    ASSERT_EQ(file.planes.count(), 1);
    const Zertex& plane = *file.planes.entryAt(0);
    EXPECT_EQ(plane.c0, -2.5);
    EXPECT_EQ(plane.c1, 0.0);
    EXPECT_EQ(plane.c2, static_cast<double>(0.6f));
    EXPECT_EQ(plane.c3, static_cast<double>(0.8f));
    ASSERT_EQ(file.strings.count(), 1);
    EXPECT_EQ(file.strings.entries()[0].name, "abc");
    ASSERT_NE(file.root, nullptr);
    EXPECT_EQ(file.root->type, 6);
    EXPECT_EQ(CheckConsistency(file), std::nullopt);
}

TEST(LoadThreeDo, names_keep_file_order_duplicates_and_the_empty_name) {
    testing::FileParts parts = testing::TriangleInNode6();
    parts.names = {"b", "", "abc", "b"};
    const LoadResult result = LoadThreeDo(Assemble(parts));
    ASSERT_TRUE(result.ok()) << result.error.what;
    const std::vector<GString>& names = result.file->strings.entries();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[1].name, "");
    EXPECT_EQ(names[1].offset, 2);
    EXPECT_EQ(names[2].offset, 3);
    EXPECT_EQ(names[3].offset, 7);
}

TEST(LoadThreeDo, empty_pools_and_table_load) {
    testing::FileParts parts;
    PrimBuilder prim;
    prim.Root(prim.Record({0x10, 1, 99}));
    parts.prim = prim.data;
    const std::vector<uint8_t> bytes = Assemble(parts);
    EXPECT_EQ(LayoutOf(parts).prim, 12u + 12 + 12 + 16);
    const LoadResult result = LoadThreeDo(bytes);
    ASSERT_TRUE(result.ok()) << result.error.what;
    EXPECT_EQ(result.file->strings.count(), 0);
    EXPECT_EQ(CheckConsistency(*result.file), std::nullopt);
}

TEST(LoadThreeDo, records_in_any_order_read_but_the_check_wants_the_root_last) {
    PrimBuilder prim;
    // The root first, its children after it.
    const uint32_t rootAt = prim.Record({6, 0, 16});
    prim.Record({5, 36, 5, 0, 1});
    prim.Record({0x81F, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 1, 2});
    prim.Root(rootAt);
    testing::FileParts parts = testing::TriangleInNode6();
    parts.prim = prim.data;
    const LoadResult result = LoadThreeDo(Assemble(parts));
    ASSERT_TRUE(result.ok()) << result.error.what;
    EXPECT_EQ(result.file->root->a->a->type, 0x81F);
    const auto problem = CheckConsistency(*result.file);
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->what.find("not the last record"), std::string::npos) << problem->what;
}

TEST(LoadThreeDoFile, missing_file_is_an_error) {
    const LoadResult result = LoadThreeDoFile("/nonexistent/dir/x.3do");
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.what.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace tarvel
