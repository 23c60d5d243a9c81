#include "window/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "expected_texts.h"
#include "log/log.h"
#include "test_files.h"

namespace tarvel::window {
namespace {

namespace fs = std::filesystem;

struct Evaluated {
    CommandLineResult result;
    std::string console;
};

Evaluated Evaluate(const std::vector<std::string>& args) {
    LogContext context;
    StringTextSink console;
    context.console = &console;
    ScopedLogContext scope(context);
    Evaluated out{EvaluateCommandLine(args), {}};
    out.console = console.text();
    return out;
}

class CommandLine : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeTempDir("tarvel_cmdline");
        input_ = (dir_ / "in.ase").string();
        output_ = (dir_ / "out.3do").string();
        WriteFile(input_, "*3DSMAX_ASCIIEXPORT\t200\n");
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    std::string input_;
    std::string output_;
};

TEST_F(CommandLine, usage_begins_with_the_banner_and_the_window_still_opens) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"tarvel", "-h"}, {"tarvel", "-H", "ignored", "too"}}) {
        const Evaluated e = Evaluate(args);
        EXPECT_FALSE(e.result.exitStatus);
        EXPECT_FALSE(e.result.unattended);
        EXPECT_EQ(e.console.rfind("TARVEL", 0), 0u);
        const std::string rest = e.console.substr(e.console.find('\n') + 1);
        EXPECT_EQ(rest, kUsageAfterBanner);
    }
}

TEST_F(CommandLine, no_switch_or_an_unknown_one_says_nothing) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"tarvel"},
                                                 {"tarvel", "-x", input_, output_},
                                                 {"tarvel", "b", input_, output_}}) {
        const Evaluated e = Evaluate(args);
        EXPECT_EQ(e.console, "");
        EXPECT_FALSE(e.result.exitStatus);
        EXPECT_FALSE(e.result.unattended);
        EXPECT_FALSE(e.result.startFile);
    }
}

TEST_F(CommandLine, a_lone_name_is_opened_once_the_window_shows) {
    const Evaluated e = Evaluate({"tarvel", input_});
    EXPECT_EQ(e.console, "");
    EXPECT_FALSE(e.result.exitStatus);
    EXPECT_FALSE(e.result.unattended);
    EXPECT_EQ(e.result.startFile, input_);
}

TEST_F(CommandLine, too_few_names_print_the_reminder_and_fail) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"tarvel", "-b"}, {"tarvel", "-b", input_}}) {
        const Evaluated e = Evaluate(args);
        EXPECT_EQ(e.console, kSyntaxReminder);
        EXPECT_EQ(e.result.exitStatus, kExitFailed);
    }
}

TEST_F(CommandLine, both_checks_passing_ask_for_an_unattended_run) {
    const Evaluated e = Evaluate({"tarvel", "-B", input_, output_});
    EXPECT_FALSE(e.result.exitStatus);
    ASSERT_TRUE(e.result.unattended);
    EXPECT_EQ(e.result.unattended->input, input_);
    EXPECT_EQ(e.result.unattended->output, output_);
    EXPECT_EQ(e.console, "\n** Opening file '" + input_ + "' for input (ASE) **\n\n" +
                             "\n** Creating file '" + output_ + "' for output (3DO) **\n\n");
    // The probe leaves nothing under the name: only a complete save puts a
    // file there, so a run killed before it leaves no empty output.
    EXPECT_FALSE(fs::exists(output_));
}

TEST_F(CommandLine, read_only_input_is_accepted) {
    fs::permissions(input_, fs::perms::owner_read | fs::perms::group_read);
    const Evaluated e = Evaluate({"tarvel", "-b", input_, output_});
    EXPECT_TRUE(e.result.unattended);
    // Windows removes no read-only file, nor the folder holding it.
    fs::permissions(input_, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(CommandLine, existing_output_is_not_emptied_by_the_check) {
    WriteFile(output_, "previous file");
    const Evaluated e = Evaluate({"tarvel", "-b", input_, output_});
    ASSERT_TRUE(e.result.unattended);
    EXPECT_EQ(ReadFile(output_), "previous file");
}

TEST_F(CommandLine, missing_input_fails_before_the_output_is_touched) {
    WriteFile(output_, "previous file");
    const std::string missing = (dir_ / "missing.ase").string();
    for (const std::string& output : {output_, (dir_ / "new.3do").string()}) {
        const Evaluated e = Evaluate({"tarvel", "-b", missing, output});
        EXPECT_EQ(e.console, "\n** Could not open file '" + missing + "' for input (ASE) **\n\n");
        EXPECT_EQ(e.result.exitStatus, kExitFailed);
    }
    EXPECT_EQ(ReadFile(output_), "previous file");
    EXPECT_FALSE(fs::exists(dir_ / "new.3do"));
}

TEST_F(CommandLine, a_folder_is_no_input) {
    const Evaluated e = Evaluate({"tarvel", "-b", dir_.string(), output_});
    EXPECT_EQ(e.result.exitStatus, kExitFailed);
}

TEST_F(CommandLine, output_that_cannot_be_created_fails) {
    for (const std::string& output : {(dir_ / "no" / "such" / "dir.3do").string(), dir_.string()}) {
        const Evaluated e = Evaluate({"tarvel", "-b", input_, output});
        EXPECT_EQ(e.console, "\n** Opening file '" + input_ + "' for input (ASE) **\n\n" +
                                 "\n** Could not create file '" + output +
                                 "' for output (3DO) **\n\n");
        EXPECT_EQ(e.result.exitStatus, kExitFailed);
    }
}

}  // namespace
}  // namespace tarvel::window
