#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ase/ase_parser.h"
#include "log/log.h"

namespace tarvel {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

struct Parsed {
    Scene scene;
    Cupboard cupboard;
    std::deque<std::string> memo;
};

Parsed Parse(const std::string& text, int memoLinesBefore = 0) {
    LogContext context;
    VectorMemoSink memo;
    context.memo = &memo;
    ScopedLogContext scope(context);
    for (int i = 0; i < memoLinesBefore; ++i) {
        LogMemoF("earlier %d", i);
    }
    Parsed parsed;
    AseReader reader(text);
    ParseAse(reader, parsed.scene, parsed.cupboard);
    parsed.memo = memo.lines;
    return parsed;
}

const char kFaceLine[] =
    "*MESH_FACE    0:    A:    0 B:    1 C:    2 AB:    1 BC:    1 CA:    0\t "
    "*MESH_SMOOTHING %s \t*MESH_MTLID 4\n";

std::string FaceLine(const char* smoothing) {
    return Format(kFaceLine, smoothing);
}

const char kMaterials[] =
    "*MATERIAL_LIST {\r\n"
    "\t*MATERIAL_COUNT 2\r\n"
    "\t*MATERIAL 7 {\r\n"
    "\t\t*MATERIAL_DIFFUSE 0.5000\t0.2500\t1.0000\r\n"
    "\t\t*MAP_DIFFUSE {\r\n"
    "\t\t\t*BITMAP \"C:\\maps\\road.tga\"\r\n"
    "\t\t}\r\n"
    "\t}\r\n"
    "\t*MATERIAL 3 {\r\n"
    "\t\t*NUMSUBMTLS 2\r\n"
    "\t\t*SUBMATERIAL 0 {\r\n"
    "\t\t\t*MAP_DIFFUSE {\r\n"
    "\t\t\t\t*BITMAP \"brick.tga\"\r\n"
    "\t\t\t}\r\n"
    "\t\t\t*MAP_BUMP {\r\n"
    "\t\t\t\t*BITMAP \"brick_bump.tga\"\r\n"
    "\t\t\t}\r\n"
    "\t\t}\r\n"
    "\t\t*SUBMATERIAL 5 {\r\n"
    "\t\t\t*BITMAP \"clipper.tga\"\r\n"
    "\t\t}\r\n"
    "\t}\r\n"
    "}\r\n";

const char kObject[] =
    "*GEOMOBJECT {\r\n"
    "\t*NODE_NAME \"Wall\"\r\n"
    "\t*MESH {\r\n"
    "\t\t*MESH_NUMVERTEX 4\r\n"
    "\t\t*MESH_VERTEX_LIST {\r\n"
    "\t\t\t*MESH_VERTEX    0\t0.0000\t0.0000\t0.0000\r\n"
    "\t\t\t*MESH_VERTEX    1\t2.0000\t0.0000\t0.0000\r\n"
    "\t\t\t*MESH_VERTEX    2\t2.0000\t3.0000\t-1.5000\r\n"
    "\t\t}\r\n"
    "\t\t*MESH_FACE_LIST {\r\n"
    "\t\t\t*MESH_FACE    0:    A:    0 B:    1 C:    2 AB:    1 BC:    1 CA:    0\t "
    "*MESH_SMOOTHING 2 \t*MESH_MTLID 1\r\n"
    "\t\t\t*MESH_FACE    1:    A:    2 B:    1 C:    0 AB:    1 BC:    1 CA:    0\t "
    "*MESH_SMOOTHING 3 \t*MESH_MTLID 0\r\n"
    "\t\t}\r\n"
    "\t\t*MESH_TVERTLIST {\r\n"
    "\t\t\t*MESH_TVERT 0\t0.2500\t0.7500\t0.0000\r\n"
    "\t\t\t*MESH_TVERT 1\t1.0000\t0.5000\t0.0000\r\n"
    "\t\t}\r\n"
    "\t\t*MESH_TFACELIST {\r\n"
    "\t\t\t*MESH_TFACE 0\t1\t0\t9\r\n"
    "\t\t}\r\n"
    "\t\t*MESH_NORMALS {\r\n"
    "\t\t\t*MESH_FACENORMAL 0\t0.0000\t0.0000\t1.0000\r\n"
    "\t\t\t\t*MESH_VERTEXNORMAL 0\t0.0000\t0.0000\t1.0000\r\n"
    "\t\t}\r\n"
    "\t}\r\n"
    "\t*MATERIAL_REF 1\r\n"
    "\t*WIREFRAME_COLOR 0.1000\t0.2000\t0.3000\r\n"
    "}\r\n";

TEST(AseParser, numbers_materials_in_file_order_and_lists_parents_first) {
    const Parsed p = Parse(kMaterials);
    ASSERT_EQ(p.cupboard.Count(), 4);
    const auto ids = [&](int i) {
        return std::pair(p.cupboard.At(i).id, p.cupboard.At(i).submtlid);
    };
    EXPECT_EQ(ids(0), std::pair(0, -1));
    EXPECT_EQ(ids(1), std::pair(1, -1));
    EXPECT_EQ(ids(2), std::pair(1, 0));
    EXPECT_EQ(ids(3), std::pair(1, 1));  // the file's "5" is not used
    EXPECT_EQ(p.cupboard.At(0).bmpname, "C:\\maps\\road.tga");
    EXPECT_EQ(p.cupboard.At(0).colour.g, 0.25f);
    EXPECT_EQ(p.cupboard.At(1).colour.r, 1.0f);             // no diffuse: stays white
    EXPECT_EQ(p.cupboard.At(2).bmpname, "brick_bump.tga");  // the bump map's BITMAP wins
    EXPECT_EQ(p.cupboard.At(3).bmpname, "clipper.tga");
    EXPECT_EQ(p.scene.Count(), 0);
}

TEST(AseParser, materials_without_objects_are_all_listed_and_dumped) {
    const Parsed p = Parse(kMaterials);
    EXPECT_THAT(
        p.memo,
        ElementsAre("Parsing file...", "MATERIAL_COUNT: 2",
                    "MATERIAL_DIFFUSE: 0.500000, 0.250000, 1.000000", "\\n, assuming eof",
                    "Compiling geoms into scene", "4 materials",
                    "Material id    0, submtlid   -1, colour (0.5000, 0.2500, 1.0000), bmpname: "
                    "'C:\\maps\\road.tga'",
                    "Material id    1, submtlid   -1, colour (1.0000, 1.0000, 1.0000), bmpname: ''",
                    "Material id    1, submtlid    0, colour (1.0000, 1.0000, 1.0000), bmpname: "
                    "'brick_bump.tga'",
                    "Material id    1, submtlid    1, colour (1.0000, 1.0000, 1.0000), bmpname: "
                    "'clipper.tga'"));
}

TEST(AseParser, reads_an_object_with_its_mesh_stamps_and_texture_coordinates) {
    const Parsed p = Parse(std::string(kMaterials) + kObject);
    ASSERT_EQ(p.scene.Count(), 1);
    const GeomObject& geo = p.scene.GeomAt(0);
    ASSERT_EQ(geo.vertices.size(), 3u);
    EXPECT_EQ(geo.vertices[2].z, -1.5f);
    ASSERT_EQ(geo.faces.size(), 2u);
    const Face& f = geo.faces[0];
    EXPECT_EQ((std::array{f.index, f.a, f.b, f.c, f.smoothing, f.mtlid}),
              (std::array{0, 0, 1, 2, 2, 1}));
    EXPECT_EQ(geo.faces[1].a, 2);
    EXPECT_EQ(f.polyClass, 3);
    EXPECT_EQ(f.materialRef, 1);
    EXPECT_EQ(geo.faces[1].colour.b, 0.3f);
    // Texture face 0 names tverts 1, 0 and 9; 9 is beyond the list.
    EXPECT_EQ(f.uv[0].u, 1.0f);
    EXPECT_EQ(f.uv[1].v, 0.75f);
    EXPECT_EQ(f.uv[2].u, 0.0f);
    // Face 1 has no texture face at its position.
    EXPECT_EQ(geo.faces[1].uv[0].u, 0.0f);
    ASSERT_EQ(geo.normals.size(), 1u);
    EXPECT_EQ(geo.normals[0].z, 1.0f);
    EXPECT_THAT(p.memo, Contains("Adding last geom to scene"));
}

struct FaceCase {
    const char* name;
    const char* smoothing;
    int32_t expectSmoothing;
    int32_t expectMtlid;
};

TEST(AseParser, face_line_smoothing_variants) {
    const FaceCase cases[] = {
        {"plain", "2", 2, 4},
        // The comma list is read as the MESH_MTLID token; mtlid then meets a star.
        {"comma_list", "1,2,5", 1, 0},
        {"empty", "", 0, 4},
    };
    for (const FaceCase& c : cases) {
        const std::string text =
            "*GEOMOBJECT {\n" + FaceLine(c.smoothing) + "*MESH_VERTEX 0 1.0 2.0 3.0\n}\n";
        const Parsed p = Parse(text);
        ASSERT_EQ(p.scene.Count(), 1) << c.name;
        const GeomObject& geo = p.scene.GeomAt(0);
        ASSERT_EQ(geo.faces.size(), 1u) << c.name;
        EXPECT_EQ(geo.faces[0].smoothing, c.expectSmoothing) << c.name;
        EXPECT_EQ(geo.faces[0].mtlid, c.expectMtlid) << c.name;
        // The rest of the line must not eat the next record.
        EXPECT_EQ(geo.vertices.size(), 1u) << c.name;
    }
}

TEST(AseParser, face_maps_give_each_face_three_texture_vertices) {
    const Parsed p = Parse(
        "*GEOMOBJECT {\n"
        "*MESH_FACEMAP 0 {\n*MESH_FACEMAPVERT 0.1 0.2 0.0\n*MESH_FACEMAPVERT 0.3 0.4 0.0\n"
        "*MESH_FACEMAPVERT 0.5 0.6 0.0\n}\n"
        "*MESH_FACEMAP 1 {\n*MESH_FACEMAPVERT 0.7 0.8 0.0\n}\n}\n");
    const GeomObject& geo = p.scene.GeomAt(0);
    ASSERT_EQ(geo.tfaces.size(), 2u);
    EXPECT_EQ((std::array{geo.tfaces[1].index, geo.tfaces[1].a, geo.tfaces[1].b, geo.tfaces[1].c}),
              (std::array{1, 3, 4, 5}));
    ASSERT_EQ(geo.tverts.size(), 4u);
    EXPECT_EQ(geo.tverts[3].index, 3);
    EXPECT_EQ(geo.tverts[3].v, 0.8f);
}

TEST(AseParser, records_outside_an_object_and_lower_case_keywords_are_dropped) {
    const Parsed p = Parse(
        "*MESH_VERTEX 0 1.0 1.0 1.0\n"
        "*material 0 {\n*MATERIAL_DIFFUSE 0.5 0.5 0.5\n}\n"
        "*geomobject {\n*MESH_VERTEX 0 1.0 1.0 1.0\n}\n");
    EXPECT_EQ(p.cupboard.Count(), 0);
    EXPECT_EQ(p.scene.Count(), 0);
    // The diffuse line is still reported although no material is open.
    EXPECT_THAT(p.memo, Contains("MATERIAL_DIFFUSE: 0.500000, 0.500000, 0.500000"));
}

TEST(AseParser, stamps_reach_only_the_faces_read_before_them) {
    const Parsed p = Parse("*GEOMOBJECT {\n" + FaceLine("1") + "*MATERIAL_REF 2\n" +
                           "*WIREFRAME_COLOR 0.5 0.5 0.5\n" + FaceLine("1") + "}\n");
    const GeomObject& geo = p.scene.GeomAt(0);
    ASSERT_EQ(geo.faces.size(), 2u);
    EXPECT_EQ(geo.faces[0].materialRef, 2);
    EXPECT_EQ(geo.faces[0].colour.r, 0.5f);
    EXPECT_EQ(geo.faces[1].materialRef, -1);
    EXPECT_EQ(geo.faces[1].colour.r, 1.0f);
}

TEST(AseParser, file_without_final_line_break_ends_after_the_brace) {
    const Parsed p = Parse("*GEOMOBJECT {\n*MESH_VERTEX 0 1.0 2.0 3.0\n}");
    EXPECT_THAT(p.memo, Not(Contains("\\n, assuming eof")));
    ASSERT_EQ(p.scene.Count(), 1);
    EXPECT_EQ(p.scene.GeomAt(0).vertices.size(), 1u);
}

TEST(AseParser, file_ending_inside_a_face_line_keeps_the_face) {
    const Parsed p = Parse("*GEOMOBJECT {\n*MESH_FACE 0: A: 4 B: 5");
    ASSERT_EQ(p.scene.Count(), 1);
    ASSERT_EQ(p.scene.GeomAt(0).faces.size(), 1u);
    const Face& f = p.scene.GeomAt(0).faces[0];
    EXPECT_EQ((std::array{f.a, f.b, f.c, f.mtlid}), (std::array{4, 5, 0, 0}));
}

TEST(AseParser, empty_file_reports_the_end_steps_only) {
    const Parsed p = Parse("");
    EXPECT_THAT(p.memo,
                ElementsAre("Parsing file...", "Compiling geoms into scene", "0 materials"));
}

TEST(AseParser, memo_is_trimmed_to_the_last_200_lines_before_the_end_steps) {
    std::string text = "*MATERIAL 0 {\n";
    for (int i = 0; i < 250; ++i) {
        text += "*MATERIAL_DIFFUSE 0.5 0.5 0.5\n";
    }
    const Parsed p = Parse(text, 30);
    // 200 kept, then the compile line and the dump of one material.
    ASSERT_EQ(p.memo.size(), 203u);
    EXPECT_EQ(p.memo[0], "MATERIAL_DIFFUSE: 0.500000, 0.500000, 0.500000");
    EXPECT_EQ(p.memo[199], "\\n, assuming eof");
    EXPECT_EQ(p.memo[200], "Compiling geoms into scene");
}

TEST(AseParser, a_second_parse_starts_from_empty_containers) {
    Parsed p = Parse(kMaterials);
    AseReader reader("*GEOMOBJECT {\n}\n");
    ParseAse(reader, p.scene, p.cupboard);
    EXPECT_EQ(p.cupboard.Count(), 0);
    EXPECT_EQ(p.scene.Count(), 1);
}

TEST(AseParser, out_of_range_and_negative_face_indices_are_kept_as_read) {
    const Parsed p = Parse("*GEOMOBJECT {\n*MESH_FACE 0: A: -3 B: 99999999999 C: 2147483647\n}\n");
    const Face& f = p.scene.GeomAt(0).faces[0];
    EXPECT_EQ((std::array{f.a, f.b, f.c}), (std::array{-3, 1215752191, 2147483647}));
}

// Whatever the bytes, the parse runs to the end and leaves a usable scene.
TEST(AseParser, hostile_inputs_parse_to_the_end) {
    std::string utf16 = "\xff\xfe";
    for (char c : std::string(kMaterials) + kObject) {
        utf16 += c;
        utf16 += '\0';
    }
    std::mt19937 random(12345);
    std::vector<std::string> inputs = {utf16, std::string(5000, '*'), std::string(5000, '\0'),
                                       "*BITMAP \"" + std::string(20000, 'q'),
                                       std::string(kObject).substr(0, 400)};
    for (int n : {1, 17, 4096, 100000}) {
        std::string bytes(static_cast<std::size_t>(n), '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random() & 0xff);
        }
        inputs.push_back(bytes);
    }
    for (const std::string& input : inputs) {
        const Parsed p = Parse(input);
        EXPECT_EQ(p.memo.front(), "Parsing file...");
        EXPECT_EQ(p.memo.at(p.memo.size() - 1 - p.cupboard.Count()),
                  Format("%d materials", p.cupboard.Count()));
    }
}

}  // namespace
}  // namespace tarvel
