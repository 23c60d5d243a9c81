#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "driver/compile_driver.h"
#include "driver/import.h"
#include "hostile/hostile_scenes.h"
#include "log/log.h"
#include "support/peak_memory.h"
#include "support/temp_dir.h"
#include "threedo/threedo_file.h"

// Hostile ASE files through the whole compile, in process so that the
// sanitizer build sees every access. Each one ends in a written file or in
// "Nothing to save", never in a crash or a hang.

namespace tarvel {
namespace {

using testing::Face;
using testing::Object;
using testing::TriangleAt;
using testing::Vertex;

constexpr const char* kNothingToSave = "Nothing to save: the conversion produced no nodes.";

const char* const kKeywords[] = {
    "BITMAP",
    "GEOMOBJECT",
    "MATERIAL",
    "MATERIAL_COUNT",
    "MATERIAL_DIFFUSE",
    "MATERIAL_REF",
    "MESH_FACE",
    "MESH_FACEMAP",
    "MESH_FACEMAPVERT",
    "MESH_FACENORMAL",
    "MESH_NUMCVERTEX",
    "MESH_NUMFACES",
    "MESH_NUMTVERTEX",
    "MESH_NUMTVFACES",
    "MESH_NUMVERTEX",
    "MESH_TFACE",
    "MESH_TVERT",
    "MESH_VERTEX",
    "MESH_VERTEXNORMAL",
    "NUMSUBMTLS",
    "SCENE_AMBIENT_STATIC",
    "SUBMATERIAL",
    "WIREFRAME_COLOR",
};

// Every keyword once with nothing after it on its line, and once as the
// last bytes of the file.
std::string KeywordsWithoutValues() {
    std::string text = testing::PlainTriangle();
    for (const char* keyword : kKeywords) {
        text += std::string("*") + keyword + "\n";
    }
    for (const char* keyword : kKeywords) {
        text += std::string("*") + keyword + " *";
    }
    return text + "*MESH_FACE";
}

struct Outcome {
    ConvertStatus status = ConvertStatus::NoPolyList;
    int polys = 0;
    std::vector<std::string> memo;
};

class HostileInputs : public ::testing::Test {
  protected:
    void SetUp() override {
        context.memo = &memo;
        context.messageBox = &boxes;
        scope.emplace(context);
    }

    Outcome Compile(const std::string& text) {
        const std::string input = (temp / "in.ase").string();
        std::ofstream(input, std::ios::binary) << text;
        std::optional<ImportedScene> imported = ImportAse(input);
        EXPECT_TRUE(imported.has_value());
        Outcome outcome;
        if (!imported) {
            return outcome;
        }
        const std::string output = (temp / "out.3do").string();
        outcome.polys = imported->polys.Count();
        outcome.status = RunConversion(&imported->polys, &imported->cupboard, [&] {
                             return std::optional<std::string>(output);
                         }).status;
        if (outcome.status == ConvertStatus::Saved) {
            ExpectConsistent(output);
        }
        outcome.memo.assign(memo.lines.begin(), memo.lines.end());
        return outcome;
    }

    static void ExpectConsistent(const std::string& path) {
        const LoadResult loaded = LoadThreeDoFile(path);
        ASSERT_TRUE(loaded.ok()) << loaded.error.what;
        EXPECT_FALSE(CheckConsistency(*loaded.file).has_value());
    }

    LogContext context;
    VectorMemoSink memo;
    RecordingMessageBoxSink boxes;
    std::optional<ScopedLogContext> scope;
    testing::TempDir temp{"tarvel-hostile"};
};

struct HostileCase {
    const char* name;
    std::string text;
    ConvertStatus expected;
};

std::vector<HostileCase> Cases() {
    const std::string triangle = testing::PlainTriangle();
    const std::string nan = Object(Vertex("0", "nan", "0", "0") + Vertex("1", "1", "inf", "0") +
                                       Vertex("2", "-inf", "1", "NaN"),
                                   Face("0", "0", "1", "2"));
    const std::string hugeIndices =
        Object(Vertex("2147483647", "0", "0", "0") + Vertex("-2147483648", "1", "0", "0") +
                   Vertex("2147483648", "0", "1", "0"),
               Face("2147483646", "2147483647", "-2147483648", "2147483649") +
                   Face("0", "0", "1", "99999999999999999999"));
    const std::string oneVertex =
        Object(Vertex("0", "0", "0", "0") + Vertex("1", "1", "0", "0"),
               Face("0", "0", "0", "0") + Face("1", "1", "1", "1") + Face("2", "0", "1", "1"));
    return {
        {"binary_garbage", testing::Garbage(64 * 1024, 7), ConvertStatus::NothingToSave},
        {"binary_garbage_after_a_triangle", triangle + testing::Garbage(4096, 11),
         ConvertStatus::Saved},
        {"utf16_little_endian_with_bom", testing::Utf16(triangle, false, true),
         ConvertStatus::NothingToSave},
        {"utf16_little_endian_without_bom", testing::Utf16(triangle, false, false),
         ConvertStatus::NothingToSave},
        {"utf16_big_endian_with_bom", testing::Utf16(triangle, true, true),
         ConvertStatus::NothingToSave},
        {"bitmap_line_of_20000_characters",
         testing::MaterialWithBitmap(std::string(20000, 'b')) + triangle, ConvertStatus::Saved},
        {"unterminated_bitmap_name", triangle + "*BITMAP \"" + std::string(30000, 'q'),
         ConvertStatus::Saved},
        {"coordinates_of_1e30", TriangleAt("1e30"), ConvertStatus::Saved},
        {"coordinates_beyond_float", TriangleAt("1e300"), ConvertStatus::Saved},
        {"nan_and_infinity_text", nan, ConvertStatus::Saved},
        {"vertex_indices_near_2_31", hugeIndices, ConvertStatus::NothingToSave},
        {"faces_repeating_one_vertex", oneVertex, ConvertStatus::Saved},
        {"every_keyword_without_values", KeywordsWithoutValues(), ConvertStatus::Saved},
        {"sub_materials_nested_1000_deep", testing::NestedSubMaterials(1000) + triangle,
         ConvertStatus::Saved},
        {"unbalanced_closing_braces", std::string(5000, '}') + triangle,
         ConvertStatus::NothingToSave},
        {"empty_file", "", ConvertStatus::NothingToSave},
    };
}

TEST_F(HostileInputs, each_compiles_or_reports_nothing_to_save) {
    for (const HostileCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        memo.lines.clear();
        boxes.messages.clear();
        const Outcome outcome = Compile(c.text);
        EXPECT_EQ(outcome.status, c.expected);
        if (outcome.status == ConvertStatus::NothingToSave) {
            EXPECT_EQ(outcome.memo.back(), kNothingToSave);
            ASSERT_FALSE(boxes.messages.empty());
            EXPECT_EQ(boxes.messages.back(), "See log for error.\n");
        }
    }
}

// 50 MB of vertices and not one face: the parse keeps every vertex, the
// compile finds nothing to write, and memory stays a small multiple of the
// file.
TEST_F(HostileInputs, fifty_megabytes_of_vertices_alone) {
    std::string text = "*GEOMOBJECT {\n*MESH {\n*MESH_VERTEX_LIST {\n";
    text.reserve(50u << 20);
    for (int i = 0; text.size() < (50u << 20); ++i) {
        text += Vertex(std::to_string(i), "123.4567", "-89.0123", "4567.8901");
    }
    const Outcome outcome = Compile(text);
    EXPECT_EQ(outcome.status, ConvertStatus::NothingToSave);
    EXPECT_EQ(outcome.polys, 0);
    EXPECT_LT(testing::PeakResidentMiB(), 1024);
}

}  // namespace
}  // namespace tarvel
