#pragma once

// Runs the tarvel-cli binary in a folder and keeps what it printed.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/program_run.h"
#include "support/temp_dir.h"

namespace tarvel::testing {

struct CliOutcome {
    int status = -1;  // the exit status, or -1 when the tool did not exit
    std::string out, err;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// args are split into words as sh would: the caller quotes where needed.
inline CliOutcome RunCli(const std::filesystem::path& dir, const std::string& args) {
    const std::filesystem::path out = dir / "cli-stdout.txt", err = dir / "cli-stderr.txt";
    std::vector<std::string> argv = SplitWords(args);
    argv.insert(argv.begin(), TARVEL_CLI_PATH);
    CliOutcome o;
    o.status = RunProgram(dir, argv, out, err);
    o.out = ReadWholeFile(out);
    o.err = ReadWholeFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return o;
}

// The tool running in the background, for tests that signal it while it
// works. Its standard output and error go to files outside the folder it
// runs in; every wait polls them against a generous deadline.
class BackgroundCli {
  public:
    static constexpr std::chrono::seconds kDeadline{300};

    BackgroundCli(const std::filesystem::path& dir, const std::vector<std::string>& args) {
        std::vector<std::string> argv = {TARVEL_CLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        program_ = StartProgram(dir, argv, capture_ / "stdout.txt", capture_ / "stderr.txt");
        if (!program_) {
            status_ = -1;
        }
    }
    BackgroundCli(const BackgroundCli&) = delete;
    BackgroundCli& operator=(const BackgroundCli&) = delete;

    std::string Out() const { return ReadWholeFile(capture_ / "stdout.txt"); }
    std::string Err() const { return ReadWholeFile(capture_ / "stderr.txt"); }

    // True once standard error holds text; false when the tool ended first
    // or the deadline passed.
    bool WaitForError(const std::string& text) {
        const auto end = std::chrono::steady_clock::now() + kDeadline;
        while (Err().find(text) == std::string::npos) {
            if (Ended() || std::chrono::steady_clock::now() > end) {
                return Err().find(text) != std::string::npos;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // Ctrl+C for the tool alone; false where the system cannot send one.
    bool Interrupt() const { return program_ && program_->Interrupt(); }

    // The exit status once the tool has ended; -1 when a signal ended it,
    // -2 when the deadline passed (the tool is then killed).
    int Wait() {
        const auto end = std::chrono::steady_clock::now() + kDeadline;
        while (!Ended()) {
            if (std::chrono::steady_clock::now() > end) {
                return -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return status_;
    }

  private:
    static constexpr int kRunning = -3;

    bool Ended() {
        if (status_ != kRunning) {
            return true;
        }
        int status = -1;
        if (!program_->Ended(status)) {
            return false;
        }
        status_ = status;
        return true;
    }

    TempDir capture_{"tarvel-cli-capture"};
    std::unique_ptr<RunningProgram> program_;
    int status_ = kRunning;
};

}  // namespace tarvel::testing
