// The switches of the tarvel binary, run as a process in a folder of its own.

#include <sys/stat.h>

#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include "run_process.h"
#include "window/expected_texts.h"
#include "window/test_files.h"

namespace tarvel::app {
namespace {

using namespace window;

namespace fs = std::filesystem;

class AppProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeTempDir("tarvel_app");
        fs::copy_file(ExamplePath("village.ase"), dir_ / "village.ase");
    }
    void TearDown() override { fs::remove_all(dir_); }

    ProcessResult Run(const std::vector<std::string>& args) {
        return RunProgram(TARVEL_APP_PATH, args, dir_);
    }

    // For switches that open the window: waits until the app has printed
    // what ends with `tail` and has made its log file (so the window has been
    // built and the command line evaluated), with a deadline that only a hung
    // app reaches; then whether it was still running, and what it printed.
    std::string OutputOfWindowStart(const std::vector<std::string>& args, const std::string& tail,
                                    bool& stillRunning) {
        constexpr int kDeadlineMs = 120000;
        QProcess process;
        StartProgram(process, TARVEL_APP_PATH, args, dir_);
        process.waitForStarted(kDeadlineMs);
        std::string out;
        const QDeadlineTimer deadline(kDeadlineMs);
        while (process.state() == QProcess::Running && !deadline.hasExpired() &&
               (!out.ends_with(tail) || !fs::exists(dir_ / "tarvelout.txt"))) {
            process.waitForReadyRead(20);
            out += process.readAllStandardOutput().toStdString();
        }
        stillRunning = process.state() == QProcess::Running;
        process.kill();
        process.waitForFinished(kDeadlineMs);
        return out + process.readAllStandardOutput().toStdString();
    }

    fs::path dir_;
};

TEST_F(AppProcess, usage_is_printed_and_the_window_opens) {
    bool running = false;
    const std::string out = OutputOfWindowStart({"-h", "more", "args"}, kUsageAfterBanner, running);
    EXPECT_TRUE(running);
    EXPECT_EQ(out.rfind("TARVEL", 0), 0u) << out;
    ASSERT_NE(out.find('\n'), std::string::npos);
    EXPECT_EQ(out.substr(out.find('\n') + 1), kUsageAfterBanner);
    EXPECT_TRUE(fs::exists(dir_ / "tarvelout.txt"));
}

TEST_F(AppProcess, no_switch_prints_nothing_and_opens_the_window) {
    bool running = false;
    EXPECT_EQ(OutputOfWindowStart({}, "", running), "");
    EXPECT_TRUE(running);
}

TEST_F(AppProcess, failed_checks_exit_with_status_1) {
    WriteFile(dir_ / "old.3do", "previous file");
    struct Case {
        std::vector<std::string> args;
        std::string output;
    };
    const Case cases[] = {
        {{"-b", "village.ase"}, kSyntaxReminder},
        {{"-b", "missing.ase", "old.3do"},
         "\n** Could not open file 'missing.ase' for input (ASE) **\n\n"},
        {{"-B", "village.ase", "no/such/dir/out.3do"},
         "\n** Opening file 'village.ase' for input (ASE) **\n\n"
         "\n** Could not create file 'no/such/dir/out.3do' for output (3DO) **\n\n"},
    };
    for (const Case& c : cases) {
        const ProcessResult result = Run(c.args);
        ASSERT_TRUE(result.finished) << c.args[1];
        EXPECT_EQ(result.exitStatus, 1) << c.args[1];
        EXPECT_EQ(result.stdoutText, c.output);
    }
    EXPECT_EQ(ReadFile(dir_ / "old.3do"), "previous file");
}

TEST_F(AppProcess, conversion_of_a_read_only_input_writes_the_cli_bytes_and_exits_0) {
    ASSERT_TRUE(CompileWithCli((dir_ / "village.ase").string(), dir_ / "cli.3do"));
    chmod((dir_ / "village.ase").c_str(), 0444);
    WriteFile(dir_ / "out.3do", "previous file");
    const ProcessResult result = Run({"-b", "village.ase", "out.3do"});
    ASSERT_TRUE(result.finished) << "the window did not close";
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.stdoutText.rfind("\n** Opening file 'village.ase' for input (ASE) **\n\n"
                                      "\n** Creating file 'out.3do' for output (3DO) **\n\n",
                                      0),
              0u);
    EXPECT_EQ(ReadFile(dir_ / "out.3do"), ReadFile(dir_ / "cli.3do"));
}

}  // namespace
}  // namespace tarvel::app
