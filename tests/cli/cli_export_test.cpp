#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace tarvel::testing {
namespace {

const std::string kVillage = std::string("'") + TARVEL_EXAMPLES_DIR + "/village.ase'";

// What an OBJ reader needs to trust: the counts of each kind of line and
// whether every face corner names a vertex and a texture coordinate that
// exist and every material is in the library.
struct ObjSummary {
    int vertices = 0, coordinates = 0, faces = 0;
    bool indicesValid = true, materialsKnown = true;
    std::string mtllib;
};

ObjSummary ReadObj(const std::string& obj, const std::string& mtl) {
    std::set<std::string> library;
    std::istringstream mtlLines(mtl);
    for (std::string line; std::getline(mtlLines, line);) {
        if (line.starts_with("newmtl ")) {
            library.insert(line.substr(7));
        }
    }
    ObjSummary s;
    std::istringstream lines(obj);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v") {
            ++s.vertices;
        } else if (kind == "vt") {
            ++s.coordinates;
        } else if (kind == "mtllib") {
            words >> s.mtllib;
        } else if (kind == "usemtl") {
            std::string name;
            words >> name;
            s.materialsKnown = s.materialsKnown && library.count(name) == 1;
        } else if (kind == "f") {
            ++s.faces;
            int corners = 0;
            for (std::string corner; words >> corner; ++corners) {
                int v = 0, vt = 0;
                char slash = 0;
                std::istringstream(corner) >> v >> slash >> vt;
                s.indicesValid = s.indicesValid && slash == '/' && v >= 1 && v <= s.vertices &&
                                 vt >= 1 && vt <= s.coordinates;
            }
            s.indicesValid = s.indicesValid && corners >= 3;
        }
    }
    return s;
}

TEST(CliExport, writes_one_face_per_polygon_record_with_valid_indices) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), "compile " + kVillage + " -o v.3do").status, 0);
    const CliOutcome info = RunCli(dir.path(), "info v.3do");
    std::smatch records;
    ASSERT_TRUE(std::regex_search(info.out, records, std::regex("type 0x81F: (\\d+)\n")));
    EXPECT_EQ(RunCli(dir.path(), "export v.3do -o out/v.obj").status, 1);  // no folder "out"
    std::filesystem::create_directory(dir.path() / "out");
    std::string firstVertex[2];
    for (const int yUp : {0, 1}) {
        SCOPED_TRACE(yUp);
        const CliOutcome o = RunCli(dir.path(), std::string("export v.3do -o out/v.obj "
                                                            "--texture-ext .tga --up ") +
                                                    (yUp ? "y" : "z"));
        ASSERT_EQ(o.status, 0) << o.err;
        const std::string obj = ReadWholeFile(dir.path() / "out" / "v.obj");
        const std::string mtl = ReadWholeFile(dir.path() / "out" / "v.mtl");
        const ObjSummary s = ReadObj(obj, mtl);
        EXPECT_EQ(s.faces, std::stoi(records[1].str()));
        EXPECT_TRUE(s.indicesValid);
        EXPECT_TRUE(s.materialsKnown);
        EXPECT_EQ(s.mtllib, "v.mtl");
        EXPECT_NE(mtl.find(".tga\n"), std::string::npos) << mtl;
        EXPECT_EQ(mtl.find("..tga"), std::string::npos) << mtl;
        const std::size_t v = obj.find("\nv ") + 3;
        firstVertex[yUp] = obj.substr(v, obj.find('\n', v) - v);
    }
    // y up: (x, y, z) becomes (x, z, -y).
    std::istringstream zUp(firstVertex[0]), yUp(firstVertex[1]);
    double x = 0, y = 0, z = 0, x2 = 0, y2 = 0, z2 = 0;
    zUp >> x >> y >> z;
    yUp >> x2 >> y2 >> z2;
    EXPECT_EQ((std::array{x2, y2, z2}), (std::array{x, z, -y})) << firstVertex[0];
    // Neither the OBJ nor its library may replace the input.
    const std::string compiled = ReadWholeFile(dir.path() / "v.3do");
    EXPECT_EQ(RunCli(dir.path(), "export v.3do -o v.3do").status, 2);
    std::filesystem::copy_file(dir.path() / "v.3do", dir.path() / "w.mtl");
    EXPECT_EQ(RunCli(dir.path(), "export w.mtl -o ./w.obj").status, 2);
    EXPECT_EQ(ReadWholeFile(dir.path() / "v.3do"), compiled);
    EXPECT_EQ(ReadWholeFile(dir.path() / "w.mtl"), compiled);
    const CliOutcome corrupt = RunCli(dir.path(), "export " + kVillage + " -o a.obj");
    EXPECT_EQ(corrupt.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "a.obj"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "a.mtl"));
}

}  // namespace
}  // namespace tarvel::testing
