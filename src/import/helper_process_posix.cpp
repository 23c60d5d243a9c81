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

#include "import/helper_process_steps.h"

namespace tarvel::import {

namespace {

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

// Waits for output with poll(2) and reads what is there.
ReadStep ReadSomeFrom(int fd, int waitMs, std::vector<char>& chunk, std::size_t& got) {
    pollfd wait{fd, POLLIN, 0};
    const int ready = ::poll(&wait, 1, waitMs);
    if (ready < 0) {
        return errno == EINTR ? ReadStep::Nothing : ReadStep::Failed;
    }
    if (ready == 0) {
        return ReadStep::Nothing;
    }
    const ssize_t n = ::read(fd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) {
        return ReadStep::Nothing;
    }
    if (n <= 0) {
        return ReadStep::End;
    }
    got = static_cast<std::size_t>(n);
    return ReadStep::Data;
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

HelperExit ExitOf(int status) {
    HelperExit end;
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        end.cpuLimit = signal == SIGXCPU;
        end.crash = ::strsignal(signal);
    }
    if (WIFEXITED(status)) {
        end.exited = true;
        end.status = WEXITSTATUS(status);
        // What the child does when execv fails.
        end.notStarted = end.status == 127;
    }
    return end;
}

}  // namespace

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
    const auto deadline = DeadlineIn(wallSeconds);
    const ReadSome readSome = [fd = readEnd.Get()](int waitMs, std::vector<char>& chunk,
                                                   std::size_t& got) {
        return ReadSomeFrom(fd, waitMs, chunk, got);
    };
    const std::string stop = ReadOutput(readSome, deadline, limits.maxOutputBytes, run.output);
    if (!stop.empty()) {
        ::kill(pid, SIGKILL);
    }
    // A helper that closed its output but lingers is killed at the deadline.
    bool killedLate = !stop.empty();
    const int status = Reap(pid, deadline, killedLate);
    RecordEnd(run, ExitOf(status), stop, killedLate && stop.empty(), wallSeconds);
    return run;
}

}  // namespace tarvel::import
