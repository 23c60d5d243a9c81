#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace {

struct CliRun {
    int status = -1;  // the exit status, or -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

class CliParse : public ::testing::Test {
  protected:
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Runs tarvel-cli with the arguments (already quoted for the shell).
    CliRun Cli(const std::string& args) {
        const tarvel::testing::CliOutcome o = tarvel::testing::RunCli(dir_, args);
        return {o.status, o.out, o.err};
    }

    tarvel::testing::TempDir temp_{"tarvel-cli-parse"};
    const std::filesystem::path& dir_ = temp_.path();
};

TEST_F(CliParse, prints_the_summary_of_the_bundled_example) {
    const CliRun run = Cli("parse '" TARVEL_EXAMPLES_DIR "/village.ase'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "objects: 5, materials: 7, polygons: 72\n");
    EXPECT_EQ(run.err.rfind("Opening ASE\nParsing file...\n", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("\n7 materials\n"), std::string::npos);
}

TEST_F(CliParse, exit_status_one_when_the_file_does_not_open) {
    const CliRun run = Cli("parse missing.ase");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Error opening file: 'missing.ase'\n"), std::string::npos);
}

TEST_F(CliParse, exit_status_two_on_a_usage_error) {
    EXPECT_EQ(Cli("parse").status, 2);
    EXPECT_EQ(Cli("parse a.ase b.ase").status, 2);
    EXPECT_EQ(Cli("parse --no-such-option a.ase").status, 2);
}

TEST_F(CliParse, console_dumps_come_before_the_summary) {
    const CliRun run = Cli("parse --console '" TARVEL_EXAMPLES_DIR "/village.ase'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "...end PolyList creation \nobjects: 5, materials: 7, polygons: 72\n");
}

TEST_F(CliParse, unreadable_inputs_end_normally_with_empty_summaries) {
    std::string utf16 = "\xff\xfe";
    for (char c : std::string("*GEOMOBJECT {\r\n*MESH_VERTEX 0 1.0 2.0 3.0\r\n}\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    std::mt19937 random(7);
    std::string noise(65536, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random() & 0xff);
    }
    const std::pair<const char*, std::string> inputs[] = {
        {"empty.ase", ""}, {"utf16.ase", utf16}, {"noise.ase", noise}};
    for (const auto& [name, bytes] : inputs) {
        WriteFile(name, bytes);
        const CliRun run = Cli(std::string("parse ") + name);
        EXPECT_EQ(run.status, 0) << name;
        EXPECT_EQ(run.out.rfind("objects: ", 0), 0u) << name;
    }
    EXPECT_EQ(Cli("parse empty.ase").out, "objects: 0, materials: 0, polygons: 0\n");
}

}  // namespace
