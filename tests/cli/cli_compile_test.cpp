#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>

#include "bench/generated_import.h"
#include "scene_generator/race_scene.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

using tarvel::testing::CliOutcome;
using tarvel::testing::ReadWholeFile;

class CliCompile : public ::testing::Test {
  protected:
    void SetUp() override { fs::copy_file(TARVEL_EXAMPLES_DIR "/village.ase", village); }

    CliOutcome Cli(const std::string& args) const { return tarvel::testing::RunCli(dir, args); }

    tarvel::testing::TempDir temp{"tarvel-cli"};
    const fs::path& dir = temp.path();
    const fs::path village = dir / "village.ase";
};

TEST_F(CliCompile, writes_the_input_name_with_3do_and_prints_a_summary) {
    const CliOutcome o = Cli("compile village.ase");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(std::regex_match(o.out, std::regex("wrote village\\.3do: \\d+ vertices, \\d+ "
                                                   "planes, \\d+ textures, \\d+ node records, "
                                                   "\\d+ bytes\nflat lists: none\n")))
        << o.out;
    EXPECT_NE(o.err.find("\n...Saved, MIPs referenced:\n"), std::string::npos);
    const auto size = fs::file_size(dir / "village.3do");
    EXPECT_NE(o.out.find(" " + std::to_string(size) + " bytes"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "tarvelout.txt"));  // no debug log unless asked
}

TEST_F(CliCompile, both_strategies_write_the_same_bytes) {
    ASSERT_EQ(Cli("compile village.ase -o literal.3do --strategy literal").status, 0);
    ASSERT_EQ(Cli("compile village.ase -o fast.3do --strategy fast").status, 0);
    EXPECT_EQ(ReadWholeFile(dir / "literal.3do"), ReadWholeFile(dir / "fast.3do"));
}

// Files dropped onto the program arrive as its only arguments.
TEST_F(CliCompile, files_alone_compile_as_compile_does_and_no_arguments_print_the_usage) {
    ASSERT_EQ(Cli("compile village.ase -o named.3do").status, 0);
    const CliOutcome dropped = Cli("village.ase");
    EXPECT_EQ(dropped.status, 0) << dropped.err;
    EXPECT_EQ(dropped.out.rfind("wrote village.3do: ", 0), 0u) << dropped.out;
    EXPECT_EQ(ReadWholeFile(dir / "village.3do"), ReadWholeFile(dir / "named.3do"));

    const CliOutcome bare = Cli("");
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.out.find("compile"), std::string::npos) << bare.out;
}

TEST_F(CliCompile, a_log_that_cannot_be_written_says_so_once_and_the_save_goes_on) {
    ASSERT_EQ(Cli("compile village.ase -o quiet.3do").status, 0);
    const CliOutcome o = Cli("compile village.ase -o full.3do --log /dev/full");
    EXPECT_EQ(o.status, 0) << o.err;
    const std::string line = "Could not write log file '/dev/full'; the debug log stops here.\n";
    const std::size_t first = o.err.find(line);
    EXPECT_NE(first, std::string::npos) << o.err;
    EXPECT_EQ(o.err.find(line, first + 1), std::string::npos) << o.err;
    EXPECT_EQ(ReadWholeFile(dir / "full.3do"), ReadWholeFile(dir / "quiet.3do"));
}

TEST_F(CliCompile, an_empty_scene_has_nothing_to_save) {
    std::ofstream(dir / "empty.ase").flush();
    const CliOutcome o = Cli("compile empty.ase");
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("\nNothing to save: the conversion produced no nodes.\n"),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find("\nSee log for error.\n"), std::string::npos);
    EXPECT_EQ(o.out, "");
    EXPECT_FALSE(fs::exists(dir / "empty.3do"));
}

TEST_F(CliCompile, failures_exit_with_1_and_usage_errors_with_2) {
    struct Case {
        const char* args;
        int status;
        const char* message;  // expected on standard error
    };
    const Case cases[] = {
        {"compile missing.ase", 1, "Error opening file: 'missing.ase'"},
        {"compile village.ase -o no-such-folder/out.3do", 1,
         "Error when opening 'no-such-folder/out.3do' for output."},
        {"compile", 2, ""},
        // A file name alone stands for "compile FILE"; a misspelt
        // subcommand stays a usage error.
        {"missing.ase", 1, "Error opening file: 'missing.ase'"},
        {"compiel village.ase", 2, "A subcommand is required"},
        {"compile village.ase --strategy slow", 2, ""},
        {"compile village.ase -o village.ase", 2, "is the input itself"},
        // The log is emptied when it opens: named like the input, it would
        // destroy the scene before the parse.
        {"compile village.ase --log ./village.ase", 2, "would overwrite the input"},
        {"parse village.ase --log village.ase", 2, "would overwrite the input"},
        {"build village.ase --log village.ase", 2, "would overwrite the input"},
    };
    for (const Case& c : cases) {
        const CliOutcome o = Cli(c.args);
        EXPECT_EQ(o.status, c.status) << c.args << "\n" << o.err;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << c.args << "\n" << o.err;
    }
    EXPECT_EQ(ReadWholeFile(village), ReadWholeFile(TARVEL_EXAMPLES_DIR "/village.ase"));
}

TEST_F(CliCompile, console_dumps_reach_standard_output_only_when_asked) {
    const CliOutcome quiet = Cli("compile village.ase -o a.3do");
    EXPECT_EQ(quiet.out.find("@@ type"), std::string::npos);
    const CliOutcome loud = Cli("compile village.ase -o b.3do --console");
    EXPECT_NE(loud.out.find("@@ type"), std::string::npos);
    // The summary and the flat-list line follow the dumps.
    const std::size_t summary = loud.out.rfind("\nwrote b.3do: ");
    ASSERT_NE(summary, std::string::npos);
    EXPECT_EQ(loud.out.find('\n', summary + 1) + 1, loud.out.rfind("flat lists: "));
}

// Ctrl+C stops every running compile at its next node: nothing is written,
// no temporary file is left, an old output stays, and the status is 130.
TEST_F(CliCompile, ctrl_c_stops_the_compiles_and_leaves_no_file) {
    // The literal count keeps each build busy for a while after it starts.
    const std::string track =
        tarvel::scenegen::testing::AseText(tarvel::scenegen::GenerateRaceScene(5000, 5));
    std::ofstream(dir / "a.ase", std::ios::binary) << track;
    std::ofstream(dir / "b.ase", std::ios::binary) << track;
    std::ofstream(dir / "a.3do", std::ios::binary) << "old";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> started;  // on standard error once each build runs
    };
    const Case cases[] = {
        {"one file", {"compile", "a.ase", "--strategy", "literal"}, {"BSPing first node..."}},
        {"a batch",
         {"compile", "a.ase", "b.ase", "-j", "2", "--strategy", "literal"},
         {"a.ase: BSPing first node...", "b.ase: BSPing first node..."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tarvel::testing::BackgroundCli cli(dir, c.args);
        for (const std::string& line : c.started) {
            ASSERT_TRUE(cli.WaitForError(line)) << cli.Err();
        }
        if (!cli.Interrupt()) {
            // A console control event reaches every program of the console,
            // this test's too; the handler's effect is the stop flag's.
            GTEST_SKIP() << "Ctrl+C cannot be sent to one program here";
        }
        EXPECT_EQ(cli.Wait(), 130) << cli.Err();
        EXPECT_EQ(cli.Out(), "");
        EXPECT_NE(cli.Err().find("Stopped: nothing was saved."), std::string::npos) << cli.Err();
        EXPECT_EQ(cli.Err().find("...Saved"), std::string::npos) << cli.Err();
        EXPECT_EQ(ReadWholeFile(dir / "a.3do"), "old");
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(dir)) {
            files.push_back(entry.path().filename().string());
        }
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, (std::vector<std::string>{"a.3do", "a.ase", "b.ase", "village.ase"}));
    }
}

}  // namespace
