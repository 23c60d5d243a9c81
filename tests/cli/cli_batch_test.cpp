#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/generated_import.h"
#include "platform/utf8_path.h"
#include "scene_generator/race_scene.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using tarvel::testing::CliOutcome;
using tarvel::testing::ReadWholeFile;
using tarvel::testing::RunCli;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

class CliBatch : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy_file(TARVEL_EXAMPLES_DIR "/village.ase", dir / "village.ase");
    }

    void WriteGenerated(const std::string& name) const {
        std::ofstream(dir / name, std::ios::binary)
            << tarvel::scenegen::testing::AseText(tarvel::scenegen::GenerateRaceScene(2000, 5));
    }

    CliOutcome Cli(const std::string& args) const { return RunCli(dir, args); }
    std::string Read(const std::string& name) const { return ReadWholeFile(dir / name); }

    tarvel::testing::TempDir temp{"tarvel-batch"};
    const fs::path& dir = temp.path();
};

TEST_F(CliBatch, compiles_side_by_side_give_the_bytes_of_compiles_alone) {
    WriteGenerated("track.ase");
    ASSERT_EQ(Cli("compile village.ase -o village-alone.3do").status, 0);
    ASSERT_EQ(Cli("compile track.ase -o track-alone.3do").status, 0);
    const CliOutcome batch = Cli("compile village.ase track.ase -j 2");
    ASSERT_EQ(batch.status, 0) << batch.err;
    EXPECT_EQ(Read("village.3do"), Read("village-alone.3do"));
    EXPECT_EQ(Read("track.3do"), Read("track-alone.3do"));
    EXPECT_FALSE(Read("track.3do").empty());
}

TEST_F(CliBatch, reports_every_file_and_fails_when_one_fails) {
    std::ofstream(dir / "empty.ase").flush();
    const CliOutcome o = Cli("compile village.ase missing.ase empty.ase -j 3");
    EXPECT_EQ(o.status, 1);
    std::vector<std::string> out = Lines(o.out);
    std::sort(out.begin(), out.end());
    ASSERT_EQ(out.size(), 4u) << o.out;
    EXPECT_EQ(out[0], "failed empty.ase: the conversion produced no nodes");
    EXPECT_EQ(out[1], "failed missing.ase: the input could not be opened");
    EXPECT_EQ(out[2], "flat lists: none");
    EXPECT_TRUE(StartsWith(out[3], "wrote village.3do: ")) << out[3];
    // Every memo line names its file, whole; no progress line off a terminal.
    for (const std::string& line : Lines(o.err)) {
        EXPECT_TRUE(StartsWith(line, "village.ase: ") || StartsWith(line, "missing.ase: ") ||
                    StartsWith(line, "empty.ase: "))
            << line;
    }
    EXPECT_NE(o.err.find("\nmissing.ase: Error opening file: 'missing.ase'\n"), std::string::npos);
    EXPECT_NE(o.err.find("\nempty.ase: See log for error.\n"), std::string::npos);
    EXPECT_EQ(o.err.find_first_of("\r\x1b"), std::string::npos);
}

TEST_F(CliBatch, all_saved_exits_with_0) {
    fs::copy_file(dir / "village.ase", dir / "copy.ase");
    const CliOutcome o = Cli("compile village.ase copy.ase -j 1");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Lines(o.out).size(), 4u) << o.out;  // a summary and a flat-list line each
    EXPECT_EQ(Read("copy.3do"), Read("village.3do"));
}

TEST_F(CliBatch, refuses_batches_that_would_overwrite_or_share_files) {
#ifdef _WIN32
    // Names that differ in case only are one file there, and links need a
    // privilege: the rows that need either are left out.
    constexpr bool kPosix = false;
#else
    constexpr bool kPosix = true;
    fs::copy_file(dir / "village.ase", dir / "village.ASE");
    fs::create_symlink("village.ase", dir / "link.3do");
#endif
    fs::create_directories(dir / "x");
    fs::create_directories(dir / "y");
    fs::copy_file(dir / "village.ase", dir / "x/a.ase");
    fs::copy_file(dir / "village.ase", dir / "y/a.ase");
    fs::copy_file(dir / "village.ase", dir / "scene.3do");
    fs::copy_file(dir / "village.ase", dir / "link.ase");
    struct Case {
        const char* args;
        const char* message;
        bool posixOnly = false;
    };
    const Case cases[] = {
        {"compile village.ase x/a.ase -o out.3do", "-o is allowed only with a single input"},
        {"compile village.ase village.ASE", "would both write the output 'village.3do'", true},
        {"compile x/a.ase y/a.ase --log run.txt", "would both write the log 'run.a.txt'"},
        {"compile x/a.ase scene.3do", "the output 'scene.3do' is the input itself"},
        {"compile link.ase village.ase", "would overwrite the input 'village.ase'", true},
        {"compile village.ase x/a.ase -j 0", ""},
    };
    for (const Case& c : cases) {
        if (c.posixOnly && !kPosix) {
            continue;
        }
        const CliOutcome o = Cli(c.args);
        EXPECT_EQ(o.status, 2) << c.args << "\n" << o.err;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << c.args << "\n" << o.err;
        EXPECT_EQ(o.out, "") << c.args;
    }
    EXPECT_FALSE(fs::exists(dir / "village.3do"));
    EXPECT_FALSE(fs::exists(dir / "x/a.3do"));
    EXPECT_EQ(Read("village.ase"), ReadWholeFile(TARVEL_EXAMPLES_DIR "/village.ase"));
}

TEST_F(CliBatch, the_same_file_twice_is_compiled_once) {
    const CliOutcome o = Cli("compile village.ase ./village.ase");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Lines(o.out).size(), 2u) << o.out;
    EXPECT_NE(o.err.find("'./village.ase' is given more than once"), std::string::npos) << o.err;
}

TEST_F(CliBatch, each_input_gets_its_own_log_and_whole_block_of_dumps) {
    // A name outside any one code page, for the input, the output and the
    // log made from both.
    const std::string copyName =
        "\xc3\x89"
        "curie \xe6\x9d\xb1\xe4\xba\xac";
    fs::copy_file(dir / "village.ase", dir / tarvel::PathFromUtf8(copyName + ".ase"));
    const CliOutcome alone =
        Cli("compile '" + copyName + ".ase' -o alone.3do --log alone.txt --console");
    const CliOutcome batch =
        Cli("compile village.ase '" + copyName + ".ase' --log run.txt --console -j 2");
    ASSERT_EQ(batch.status, 0) << batch.err;
    EXPECT_FALSE(fs::exists(dir / "run.txt"));
    EXPECT_EQ(Read("run.village.txt"), Read("alone.txt"));
    EXPECT_EQ(ReadWholeFile(dir / tarvel::PathFromUtf8("run." + copyName + ".txt")),
              Read("alone.txt"));
    EXPECT_EQ(ReadWholeFile(dir / tarvel::PathFromUtf8(copyName + ".3do")), Read("village.3do"));
    EXPECT_FALSE(Read("alone.txt").empty());
    // The dumps of one file stand together, followed by its summary.
    const std::string dumps = alone.out.substr(0, alone.out.rfind("wrote "));
    ASSERT_NE(dumps.find("@@ type"), std::string::npos);
    const std::string summary = alone.out.substr(dumps.size() + std::string("wrote alone").size());
    const std::string copy = dumps + "wrote " + copyName + summary;
    const std::string village = dumps + "wrote village" + summary;
    EXPECT_TRUE(batch.out == copy + village || batch.out == village + copy) << batch.out;
}

TEST_F(CliBatch, debug_writes_one_desktop_log_per_input) {
    fs::copy_file(dir / "village.ase", dir / "copy.ase");
    const CliOutcome o = Cli("compile village.ase copy.ase --debug");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_FALSE(fs::exists(dir / "tarvelout.txt"));
    EXPECT_FALSE(Read("tarvelout.village.txt").empty());
    EXPECT_EQ(Read("tarvelout.village.txt"), Read("tarvelout.copy.txt"));
    EXPECT_NE(o.out.find("@@ type"), std::string::npos);
}

TEST_F(CliBatch, shows_a_progress_line_on_a_terminal_and_clears_it) {
    WriteGenerated("track.ase");
    // The literal count keeps the track busy for several redraws.
    const std::optional<std::string> shown =
        tarvel::testing::RunOnTerminal(dir, {TARVEL_CLI_PATH, "compile", "village.ase", "track.ase",
                                             "-j", "2", "--strategy", "literal"});
    if (!shown) {
        GTEST_SKIP() << "no terminal to run the tool on here";
    }
    const std::string& text = *shown;
    const std::string clear = "\r\x1b[K";
    const std::size_t frame = text.find(clear + "[");
    ASSERT_NE(frame, std::string::npos) << text;
    EXPECT_NE(text.find(" polys ", frame), std::string::npos);
    EXPECT_NE(text.find(" nodes ", frame), std::string::npos);
    // Nothing of the last frame is left once the batch ends.
    const std::size_t last = text.rfind(clear);
    EXPECT_EQ(text.find(" polys ", last), std::string::npos) << text.substr(last);
    EXPECT_NE(text.find("wrote track.3do: "), std::string::npos);
}

}  // namespace
