// tarvel-bench-measure RESULT TIMEOUT COMMAND [ARGS...]
//
// Runs COMMAND and writes one line to the file RESULT:
//   "<wall seconds> <peak resident KiB> <exit status>"
// where the status is the command's exit code, "signal N", or "timeout" when
// it ran longer than TIMEOUT seconds (0: no limit) and was killed. The
// command's own output passes through untouched.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Waits for the child, waking at once when it exits: SIGCHLD is blocked and
// taken with sigtimedwait, so no polling interval blurs short runs.
bool WaitWithTimeout(pid_t child, double timeout, int& status, rusage& usage) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGCHLD);
    const double deadline = Now() + timeout;
    for (;;) {
        const pid_t done = wait4(child, &status, WNOHANG, &usage);
        if (done == child) {
            return true;
        }
        if (done < 0 && errno != EINTR) {
            return false;
        }
        if (timeout <= 0) {
            sigwaitinfo(&set, nullptr);
            continue;
        }
        const double left = deadline - Now();
        if (left <= 0) {
            kill(-child, SIGKILL);
            wait4(child, &status, 0, &usage);
            return false;
        }
        timespec wait{};
        wait.tv_sec = static_cast<time_t>(left);
        wait.tv_nsec = static_cast<long>((left - static_cast<double>(wait.tv_sec)) * 1e9);
        sigtimedwait(&set, nullptr, &wait);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s RESULT TIMEOUT COMMAND [ARGS...]\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    const double timeout = std::strtod(argv[2], &end);
    if (end == argv[2] || *end != '\0' || !(timeout >= 0)) {
        std::fprintf(stderr, "bad timeout '%s'\n", argv[2]);
        return 2;
    }
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGCHLD);
    sigprocmask(SIG_BLOCK, &set, nullptr);

    const double start = Now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 1;
    }
    if (child == 0) {
        // Its own process group, so a timeout kills whatever it started too.
        setpgid(0, 0);
        sigprocmask(SIG_UNBLOCK, &set, nullptr);
        execvp(argv[3], argv + 3);
        std::perror(argv[3]);
        _exit(127);
    }
    setpgid(child, child);
    int status = 0;
    rusage usage{};
    const bool finished = WaitWithTimeout(child, timeout, status, usage);
    const double wall = Now() - start;

    std::string outcome;
    if (!finished) {
        outcome = "timeout";
    } else if (WIFEXITED(status)) {
        outcome = std::to_string(WEXITSTATUS(status));
    } else {
        outcome = "signal " + std::to_string(WTERMSIG(status));
    }
    std::FILE* result = std::fopen(argv[1], "w");
    if (result == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    // ru_maxrss is in KiB on Linux. The CPU time (user and system, all
    // threads) follows on a line of its own, so readers of the first line
    // stay as they are; on a shared machine it is the steadier figure.
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    std::fprintf(result, "%.3f %ld %s\ncpu %.3f\n", wall, usage.ru_maxrss, outcome.c_str(), cpu);
    return std::fclose(result) == 0 ? 0 : 1;
}
