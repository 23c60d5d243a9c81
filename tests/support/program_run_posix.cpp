#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/program_run.h"

namespace tarvel::testing {

namespace {

class PosixProgram : public RunningProgram {
  public:
    explicit PosixProgram(pid_t pid) : pid_(pid) {}
    ~PosixProgram() override {
        int status = 0;
        if (!Ended(status)) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool Ended(int& status) override {
        if (ended_) {
            status = status_;
            return true;
        }
        int raw = 0;
        if (::waitpid(pid_, &raw, WNOHANG) != pid_) {
            return false;
        }
        ended_ = true;
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        status = status_;
        return true;
    }

    bool Interrupt() override { return ::kill(pid_, SIGINT) == 0; }

  private:
    pid_t pid_;
    bool ended_ = false;
    int status_ = -1;
};

}  // namespace

std::unique_ptr<RunningProgram> StartProgram(const std::filesystem::path& dir,
                                             const std::vector<std::string>& argv,
                                             const std::filesystem::path& out,
                                             const std::filesystem::path& err) {
    std::vector<std::string> words = argv;
    std::vector<char*> pointers;
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (outFd < 0 || errFd < 0 || ::chdir(dir.c_str()) != 0 ||
            ::dup2(outFd, STDOUT_FILENO) < 0 || ::dup2(errFd, STDERR_FILENO) < 0) {
            ::_exit(127);
        }
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    if (pid < 0) {
        return nullptr;
    }
    return std::make_unique<PosixProgram>(pid);
}

std::optional<std::string> RunOnTerminal(const std::filesystem::path& dir,
                                         const std::vector<std::string>& argv) {
    std::vector<std::string> words = argv;
    std::vector<char*> pointers;
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        if (::chdir(dir.c_str()) != 0) {
            ::_exit(127);
        }
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    if (child < 0) {
        return std::nullopt;
    }
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(master);
    ::waitpid(child, nullptr, 0);
    return text;
}

bool UnderWine() {
    return false;
}

}  // namespace tarvel::testing
