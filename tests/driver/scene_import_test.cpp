#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "driver/import.h"
#include "import/scene_formats.h"
#include "log/log.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

using ::testing::HasSubstr;

// One triangle (0,0,0) (1,0,0) (0,1,0) in a y-up file, under a node moved
// by (1, 2, 3), in a material whose base colour is (0.5, 0.25, 1).
constexpr const char* kMovedTriangleGltf = R"({
  "asset": {"version": "2.0"},
  "scene": 0,
  "scenes": [{"nodes": [0]}],
  "nodes": [{"mesh": 0, "translation": [1, 2, 3]}],
  "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "material": 0}]}],
  "materials": [{"name": "Paint", "pbrMetallicRoughness": {"baseColorFactor": [0.5, 0.25, 1, 1]}}],
  "buffers": [{"byteLength": 36,
    "uri": "data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}],
  "bufferViews": [{"buffer": 0, "byteLength": 36}],
  "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3",
                 "min": [0, 0, 0], "max": [1, 1, 0]}]
})";

class SceneImport : public ::testing::Test {
  protected:
    SceneImport() : scope_(context_) { context_.memo = &memo_; }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::vector<std::array<float, 3>> Corners(const ImportedScene& imported) {
        std::vector<std::array<float, 3>> corners;
        for (const Poly& poly : imported.polys.items) {
            for (const APoint& p : poly.points) {
                corners.push_back({p.x, p.y, p.z});
            }
        }
        return corners;
    }

    testing::TempDir dir_{"tarvel-scene-import"};
    LogContext context_;
    VectorMemoSink memo_;
    ScopedLogContext scope_;
};

TEST_F(SceneImport, y_up_gltf_lands_z_up_where_its_node_puts_it) {
    const std::string path = Write("moved.gltf", kMovedTriangleGltf);
    std::optional<ImportedScene> imported = ImportScene(path);
    ASSERT_TRUE(imported) << ::testing::PrintToString(memo_.lines);
    // (x, y, z) moved by (1, 2, 3) in y-up is (x + 1, -(z + 3), y + 2) in z-up.
    using P = std::array<float, 3>;
    EXPECT_EQ(Corners(*imported), (std::vector<P>{{1, -3, 2}, {2, -3, 2}, {1, -3, 3}}));
    const APoint& corner = imported->polys.items.at(0).points.at(0);
    EXPECT_EQ((P{corner.r, corner.g, corner.b}), (P{0.5f, 0.25f, 1.0f}));
    EXPECT_EQ(memo_.lines.front(), "Opening glTF '" + path + "'");

    // Told it is z-up already and twice as large: only moved and scaled.
    ImportOptions options;
    options.placement.up = import::UpAxis::Z;
    options.placement.scale = 2.0;
    imported = ImportScene(path, options);
    ASSERT_TRUE(imported);
    EXPECT_EQ(Corners(*imported), (std::vector<P>{{2, 4, 6}, {4, 4, 6}, {2, 6, 6}}));
}

TEST_F(SceneImport, clipper_by_texture_name_or_untextured_material_name) {
    Write("scene.mtl",
          "newmtl byTexture\nKd 1 1 1\nmap_Kd maps/clipper.png\n"
          "newmtl CLIPPER\nKd 1 1 1\n"
          "newmtl named_clipper_textured\nKd 1 1 1\nmap_Kd wall.png\n"
          "newmtl lookalike\nKd 1 1 1\nmap_Kd clippers.png\n");
    std::string obj = "mtllib scene.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (const char* material : {"byTexture", "CLIPPER", "named_clipper_textured", "lookalike"}) {
        obj += std::string("usemtl ") + material + "\nf 1 2 3\n";
    }
    std::optional<ImportedScene> imported = ImportScene(Write("scene.obj", obj));
    ASSERT_TRUE(imported) << ::testing::PrintToString(memo_.lines);
    imported->cupboard.FixBitmapNames();
    std::vector<bool> clippers;
    PolyList root;
    for (const Poly& poly : imported->polys.items) {
        root.Add(poly, &imported->cupboard);
        clippers.push_back(root.items.back().clipper);
    }
    EXPECT_EQ(clippers, (std::vector<bool>{true, true, false, false}));
}

TEST_F(SceneImport, helper_trouble_becomes_the_error_line_and_no_scene) {
    // What the stand-in helper does is written in the scene it is given.
    struct Case {
        std::string order;
        std::string says;
    };
    const Case cases[] = {
        {"crash", "the importer crashed ("},
        {"print TVSCENE1", "the importer's output is malformed"},
        {"print hello", "the importer's output is malformed (output is not a scene)"},
        // Not 3, which Windows gives a program that aborts.
        {"exit 5", "the importer stopped without a scene (exit status 5)"},
        {"", "the importer's output is malformed (no output)"},
        {"hang", "the importer took longer than its limit of 1 s"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string scene = Write("scene" + std::to_string(n++) + ".obj", c.order);
        ImportOptions options;
        options.helper = TARVEL_FAKE_IMPORT_HELPER;
        // Room for starting a program on a loaded machine (under wine: most of a second).
        options.limits.baseSeconds = 0.9;
        memo_.lines.clear();
        EXPECT_FALSE(ImportScene(scene, options)) << c.order;
        EXPECT_THAT(memo_.lines.back(),
                    HasSubstr("Could not read scene '" + scene + "': " + c.says))
            << c.order;
    }
}

TEST_F(SceneImport, library_message_for_a_file_it_cannot_read) {
    const std::string path = Write("broken.glb", std::string("glTF\x02\0\0\0", 8));
    EXPECT_FALSE(ImportScene(path));
    EXPECT_THAT(memo_.lines.back(), HasSubstr("Could not read scene '" + path + "': "));
    EXPECT_FALSE(ImportScene((dir_ / "missing.obj").string()));
    EXPECT_EQ(memo_.lines.back(), "Error opening file: '" + (dir_ / "missing.obj").string() + "'");
}

// The Pick filter and the drop list are fixed; they must name what the
// library installed here reads, less the ASE extensions it never gets.
TEST(SceneFormats, fixed_extension_list_matches_the_library) {
    const std::string command = import::FindHelper() + " --extensions";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096] = {};
    const std::size_t got = std::fread(buffer, 1, sizeof buffer - 1, pipe);
    ::pclose(pipe);
    const auto sorted = [](const std::string& list) {
        std::vector<std::string> items;
        std::size_t start = 0;
        for (std::size_t end; (end = list.find(';', start)) != std::string::npos; start = end + 1) {
            items.push_back(list.substr(start, end - start));
        }
        items.push_back(list.substr(start));
        std::sort(items.begin(), items.end());
        return items;
    };
    std::string expected = "*.ase;*.ask";
    for (const std::string& ext : import::HelperExtensions()) {
        expected += ";*." + ext;
    }
    const std::string listed(buffer, got);
    const std::vector<std::string> have = sorted(listed.substr(0, listed.find('\n')));
    const std::vector<std::string> want = sorted(expected);
    EXPECT_EQ(have, want);
}

}  // namespace
}  // namespace tarvel
