#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/cli_runner.h"
#include "support/temp_dir.h"
#include "support/threedo_bytes.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliInfo : public ::testing::Test {
  protected:
    fs::path Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    CliRun Cli(const std::string& args) {
        const testing::CliOutcome o = testing::RunCli(dir_, args);
        return {o.status, o.out, o.err};
    }

    testing::TempDir temp_{"tarvel-cli-info"};
    const fs::path& dir_ = temp_.path();
};

std::vector<uint8_t> Triangle() {
    return testing::Assemble(testing::TriangleInNode6());
}

TEST_F(CliInfo, reports_sections_names_nodes_and_consistent) {
    const CliRun run = Cli("info '" + Write("t.3do", Triangle()).string() + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    for (const char* line :
         {"220 bytes", "length 208", "XYZS at byte 12: 48 data bytes, 3 vertices",
          "STRN at byte 100: 5 data bytes + 3 padding, 1 textures", "root at PRIM offset 76",
          "  [0] abc\n", "nodes: 3", "  type 0x81F: 1\n", "tree depth: 3\n", "\nconsistent\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    EXPECT_EQ(run.err, "");
}

TEST_F(CliInfo, corrupt_files_exit_1_with_one_line_on_stderr) {
    std::vector<uint8_t> cycle = Triangle();
    testing::PatchU32(cycle, 216, 76);
    std::vector<uint8_t> badPlane = Triangle();
    testing::PatchU32(badPlane, 212, 9);
    const std::vector<uint8_t> whole = Triangle();
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + 100);
    for (const auto& [name, bytes] :
         {std::pair{"cycle", cycle}, std::pair{"plane", badPlane}, std::pair{"cut", cut}}) {
        SCOPED_TRACE(name);
        for (const char* command : {"info", "dump"}) {
            const CliRun run = Cli(std::string(command) + " '" + Write(name, bytes).string() + "'");
            EXPECT_EQ(run.status, 1);
            ASSERT_FALSE(run.err.empty());
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
            EXPECT_NE(run.err.find(", at byte "), std::string::npos) << run.err;
        }
    }
}

TEST_F(CliInfo, usage_errors_exit_2) {
    EXPECT_EQ(Cli("info").status, 2);
    EXPECT_EQ(Cli("dump").status, 2);
    EXPECT_EQ(Cli("info a.3do b.3do").status, 2);
}

TEST_F(CliInfo, dump_prints_the_tree_then_the_pools) {
    const CliRun run = Cli("dump '" + Write("t.3do", Triangle()).string() + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    const std::size_t tree = run.out.find("Type   6, plane:      0\n");
    const std::size_t texture = run.out.find("string id:    0, 'abc'");
    const std::size_t pools = run.out.find("XYZS: 3 vertices\n");
    EXPECT_NE(tree, std::string::npos) << run.out;
    EXPECT_NE(texture, std::string::npos) << run.out;
    EXPECT_NE(pools, std::string::npos) << run.out;
    EXPECT_LT(tree, pools);
    EXPECT_NE(run.out.find("[     0]: (0, 0, 1) 0\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("[     0]: 'abc'\n"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace tarvel
