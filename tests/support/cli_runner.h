#pragma once

// Runs the tarvel-cli binary in a folder and keeps what it printed.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

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

// args are passed to the shell as given: the caller quotes where needed.
inline CliOutcome RunCli(const std::filesystem::path& dir, const std::string& args) {
    const std::filesystem::path out = dir / "cli-stdout.txt", err = dir / "cli-stderr.txt";
    const std::string command = "cd '" + dir.string() + "' && '" TARVEL_CLI_PATH "' " + args +
                                " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    CliOutcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
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
        const std::string out = (capture_ / "stdout.txt").string();
        const std::string err = (capture_ / "stderr.txt").string();
        std::vector<std::string> argv = {TARVEL_CLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> pointers;
        for (std::string& arg : argv) {
            pointers.push_back(arg.data());
        }
        pointers.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (outFd < 0 || errFd < 0 || ::chdir(dir.c_str()) != 0 ||
                ::dup2(outFd, STDOUT_FILENO) < 0 || ::dup2(errFd, STDERR_FILENO) < 0) {
                ::_exit(127);
            }
            ::execv(pointers[0], pointers.data());
            ::_exit(127);
        }
        if (pid_ < 0) {
            status_ = -1;
        }
    }
    ~BackgroundCli() {
        if (pid_ > 0 && status_ == kRunning) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
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

    void Signal(int signal) const { ::kill(pid_, signal); }

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
        int raw = 0;
        if (::waitpid(pid_, &raw, WNOHANG) != pid_) {
            return false;
        }
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return true;
    }

    TempDir capture_{"tarvel-cli-capture"};
    pid_t pid_ = -1;
    int status_ = kRunning;
};

}  // namespace tarvel::testing
