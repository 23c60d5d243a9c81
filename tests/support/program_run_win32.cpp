#include <windows.h>

#include "platform/wide_text.h"
#include "support/program_run.h"

namespace tarvel::testing {

namespace {

HANDLE CreateOutput(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

class WindowsProgram : public RunningProgram {
  public:
    explicit WindowsProgram(HANDLE process) : process_(process) {}
    ~WindowsProgram() override {
        int status = 0;
        if (!Ended(status)) {
            ::TerminateProcess(process_, 1);
            ::WaitForSingleObject(process_, INFINITE);
        }
        ::CloseHandle(process_);
    }

    // An exception code (0xC0000005 and the like) is a crash, as a signal is.
    bool Ended(int& status) override {
        if (::WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
            return false;
        }
        DWORD code = 0;
        ::GetExitCodeProcess(process_, &code);
        status = (code & 0xC0000000u) == 0xC0000000u ? -1 : static_cast<int>(code);
        return true;
    }

    bool Interrupt() override { return false; }

  private:
    HANDLE process_;
};

}  // namespace

std::unique_ptr<RunningProgram> StartProgram(const std::filesystem::path& dir,
                                             const std::vector<std::string>& argv,
                                             const std::filesystem::path& out,
                                             const std::filesystem::path& err) {
    std::wstring line = QuoteCommandLine(argv);
    const HANDLE outFile = CreateOutput(out);
    const HANDLE errFile = CreateOutput(err);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process{};
    const BOOL started = outFile != INVALID_HANDLE_VALUE && errFile != INVALID_HANDLE_VALUE &&
                         ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          dir.c_str(), &startup, &process);
    if (outFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(outFile);
    }
    if (errFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(errFile);
    }
    if (started == 0) {
        return nullptr;
    }
    ::CloseHandle(process.hThread);
    return std::make_unique<WindowsProgram>(process.hProcess);
}

// A console of its own cannot be read back by a test; the progress line's
// text is the same on both systems.
std::optional<std::string> RunOnTerminal(const std::filesystem::path&,
                                         const std::vector<std::string>&) {
    return std::nullopt;
}

bool UnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace tarvel::testing
