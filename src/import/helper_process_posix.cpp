#include "import/helper_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "log/log.h"

namespace tarvel::import {

namespace {

using Clock = std::chrono::steady_clock;

// Sanitizer builds reserve terabytes of shadow address space up front.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLimitAddressSpace = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kLimitAddressSpace = false;
#else
constexpr bool kLimitAddressSpace = true;
#endif
#else
constexpr bool kLimitAddressSpace = true;
#endif

constexpr rlim_t kStackBytes = rlim_t{8} << 20;

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    void Reset() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
    }

  private:
    int fd_;
};

// Between fork and exec only async-signal-safe calls: the parent may have
// other threads (a batch compile, the window's worker) holding locks.
[[noreturn]] void BecomeHelper(const char* helper, char* const argv[], int writeEnd,
                               rlim_t cpuSeconds, rlim_t memoryBytes) {
    const rlimit cpu{cpuSeconds, cpuSeconds + 1};
    ::setrlimit(RLIMIT_CPU, &cpu);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    // The library's readers recurse once per nesting level of a file: the
    // same stack everywhere makes a deep file fail the same everywhere.
    const rlimit stack{kStackBytes, kStackBytes};
    ::setrlimit(RLIMIT_STACK, &stack);
    if (memoryBytes != 0) {
        const rlimit memory{memoryBytes, memoryBytes};
        ::setrlimit(RLIMIT_AS, &memory);
    }
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, STDIN_FILENO);
    ::dup2(devNull, STDERR_FILENO);
    ::dup2(writeEnd, STDOUT_FILENO);
    ::execv(helper, argv);
    ::_exit(127);
}

// Reads the helper's output until it closes the pipe, the deadline passes or
// the output grows past the limit; says which of the last two stopped it.
std::string ReadOutput(int fd, Clock::time_point deadline, std::size_t maxBytes,
                       std::string& output) {
    std::vector<char> chunk(1 << 16);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return "timeout";
        }
        if (StopRequested()) {
            return "stopped";
        }
        // Short polls, so that a stop ends a long import soon.
        pollfd wait{fd, POLLIN, 0};
        const int ready =
            ::poll(&wait, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
        if (ready < 0 && errno != EINTR) {
            return "poll failed";
        }
        if (ready <= 0) {
            continue;
        }
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return {};
        }
        if (output.size() + static_cast<std::size_t>(got) > maxBytes) {
            return "too much output";
        }
        output.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

// Waits for the helper to end, killing it at the deadline.
int Reap(pid_t pid, Clock::time_point deadline, bool& killed) {
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            return status;
        }
        if (Clock::now() >= deadline && !killed) {
            ::kill(pid, SIGKILL);
            killed = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(killed ? 1 : 5));
    }
}

std::string Seconds(double seconds) {
    return std::to_string(static_cast<long long>(std::ceil(seconds))) + " s";
}

std::string DescribeEnd(int status, const std::string& stop, bool killedLate, double wallSeconds) {
    if (stop == "stopped") {
        return "stopped";
    }
    if (stop == "too much output") {
        return "the importer sent more output than any scene needs";
    }
    if (stop == "timeout" || killedLate) {
        return "the importer took longer than its limit of " + Seconds(wallSeconds);
    }
    if (!stop.empty()) {
        return "reading the importer's output failed";
    }
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        if (signal == SIGXCPU) {
            return "the importer used more than its CPU time limit of " + Seconds(wallSeconds);
        }
        return std::string("the importer crashed (") + ::strsignal(signal) + ")";
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        return "the importer could not be started";
    }
    return {};
}

}  // namespace

double WallSeconds(const HelperLimits& limits, uint64_t inputBytes) {
    return limits.baseSeconds +
           limits.secondsPerMiB * static_cast<double>(inputBytes) / (1024.0 * 1024.0);
}

HelperRun RunHelper(const std::string& helper, const std::string& input, uint64_t inputBytes,
                    const HelperLimits& limits) {
    HelperRun run;
    const double wallSeconds = WallSeconds(limits, inputBytes);
    int ends[2];
    // Close-on-exec, so helpers started side by side by a batch never hold
    // each other's pipes open.
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        run.trouble = "the importer could not be started (no pipe)";
        return run;
    }
    Fd readEnd(ends[0]), writeEnd(ends[1]);
    std::string helperArg = helper, inputArg = input;
    char* const argv[] = {helperArg.data(), inputArg.data(), nullptr};
    const auto cpuSeconds = static_cast<rlim_t>(std::ceil(wallSeconds));
    const rlim_t memory = kLimitAddressSpace ? static_cast<rlim_t>(limits.memoryBytes) : 0;
    const pid_t pid = ::fork();
    if (pid < 0) {
        run.trouble = "the importer could not be started";
        return run;
    }
    if (pid == 0) {
        BecomeHelper(helperArg.c_str(), argv, writeEnd.Get(), cpuSeconds, memory);
    }
    writeEnd.Reset();
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(static_cast<long long>(wallSeconds * 1000.0));
    const std::string stop = ReadOutput(readEnd.Get(), deadline, limits.maxOutputBytes, run.output);
    if (!stop.empty()) {
        ::kill(pid, SIGKILL);
    }
    // A helper that closed its output but lingers is killed at the deadline.
    bool killedLate = !stop.empty();
    const int status = Reap(pid, deadline, killedLate);
    run.trouble = DescribeEnd(status, stop, killedLate && stop.empty(), wallSeconds);
    if (WIFEXITED(status)) {
        run.exitStatus = WEXITSTATUS(status);
    }
    run.exitedCleanly = run.trouble.empty() && run.exitStatus == 0;
    return run;
}

}  // namespace tarvel::import
