#include <windows.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "import/helper_process.h"
#include "import/helper_process_steps.h"
#include "platform/wide_text.h"

namespace tarvel::import {

namespace {

// NTSTATUS values have the two top bits set for errors; a program's own exit
// codes are small. std::abort ends with 3.
constexpr DWORD kErrorSeverity = 0xC0000000;
constexpr DWORD kAbortExitCode = 3;

class Handle {
  public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    ~Handle() { Reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    HANDLE Get() const { return handle_; }
    HANDLE* Out() { return &handle_; }
    explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    void Reset() {
        if (*this) {
            ::CloseHandle(handle_);
        }
        handle_ = nullptr;
    }

  private:
    HANDLE handle_;
};

std::string CrashName(DWORD code) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
            return std::string("access violation, exception ") + hex;
        case EXCEPTION_STACK_OVERFLOW:
            return std::string("stack overflow, exception ") + hex;
        case EXCEPTION_ILLEGAL_INSTRUCTION:
            return std::string("illegal instruction, exception ") + hex;
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
            return std::string("integer division by zero, exception ") + hex;
        default:
            return std::string("exception ") + hex;
    }
}

// A job that kills the helper when it is closed, caps its memory and CPU
// time, and keeps any crash of it silent: no error box, no report window.
Handle MakeJob(double cpuSeconds, uint64_t memoryBytes) {
    Handle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job) {
        return job;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION |
        JOB_OBJECT_LIMIT_PROCESS_TIME | JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    // In units of 100 ns.
    limits.BasicLimitInformation.PerProcessUserTimeLimit.QuadPart =
        static_cast<LONGLONG>(std::ceil(cpuSeconds)) * 10'000'000;
    limits.ProcessMemoryLimit = static_cast<SIZE_T>(memoryBytes);
    if (::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                  sizeof limits) == 0) {
        job.Reset();
    }
    return job;
}

// Whether the job's CPU time reached its limit, which is how the system ends
// a helper that spends too long computing.
bool UsedItsCpuTime(HANDLE job, double cpuSeconds) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION used{};
    if (::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &used, sizeof used,
                                    nullptr) == 0) {
        return false;
    }
    return used.TotalUserTime.QuadPart >= static_cast<LONGLONG>(std::ceil(cpuSeconds)) * 10'000'000;
}

ReadStep ReadSomeFrom(HANDLE pipe, int waitMs, std::vector<char>& chunk, std::size_t& got) {
    // Anonymous pipes cannot be waited on: look, and if nothing is there,
    // look again shortly until the wait is used up.
    const auto until = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        DWORD available = 0;
        if (::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) == 0) {
            return ::GetLastError() == ERROR_BROKEN_PIPE ? ReadStep::End : ReadStep::Failed;
        }
        if (available > 0) {
            break;
        }
        if (Clock::now() >= until) {
            return ReadStep::Nothing;
        }
        ::Sleep(2);
    }
    DWORD n = 0;
    if (::ReadFile(pipe, chunk.data(), static_cast<DWORD>(chunk.size()), &n, nullptr) == 0) {
        return ::GetLastError() == ERROR_BROKEN_PIPE ? ReadStep::End : ReadStep::Failed;
    }
    got = n;
    return n == 0 ? ReadStep::End : ReadStep::Data;
}

struct AttributeListFreer {
    void operator()(LPPROC_THREAD_ATTRIBUTE_LIST list) const {
        ::DeleteProcThreadAttributeList(list);
    }
};

// Helpers started side by side (a batch) must not inherit each other's pipe
// ends, or none would see its output close: the two handles are the only
// ones passed on, and they are inheritable only while this process starts.
std::mutex gStartLock;

bool Start(const std::wstring& commandLine, HANDLE output, HANDLE nul, HANDLE job,
           PROCESS_INFORMATION& process) {
    HANDLE inherited[] = {output, nul};
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> storage(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    if (::InitializeProcThreadAttributeList(list, 1, 0, &size) == 0) {
        return false;
    }
    const std::unique_ptr<std::remove_pointer_t<LPPROC_THREAD_ATTRIBUTE_LIST>, AttributeListFreer>
        owned(list);
    if (::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                    sizeof inherited, nullptr, nullptr) == 0) {
        return false;
    }
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = nul;
    startup.StartupInfo.hStdOutput = output;
    startup.StartupInfo.hStdError = nul;
    startup.lpAttributeList = list;
    std::wstring line = commandLine;  // CreateProcessW may write into it
    const std::lock_guard<std::mutex> lock(gStartLock);
    ::SetHandleInformation(output, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    ::SetHandleInformation(nul, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    // Suspended until it is in the job, so that not one instruction runs
    // outside the limits.
    const BOOL started =
        ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                         CREATE_SUSPENDED | CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT,
                         nullptr, nullptr, &startup.StartupInfo, &process);
    ::SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(nul, HANDLE_FLAG_INHERIT, 0);
    if (started == 0) {
        return false;
    }
    if (::AssignProcessToJobObject(job, process.hProcess) == 0) {
        ::TerminateProcess(process.hProcess, 1);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        return false;
    }
    ::ResumeThread(process.hThread);
    ::CloseHandle(process.hThread);
    return true;
}

HelperExit ExitOf(HANDLE process, HANDLE job, double cpuSeconds) {
    HelperExit end;
    DWORD code = 0;
    if (::GetExitCodeProcess(process, &code) == 0) {
        end.crash = "its end could not be read";
        return end;
    }
    end.cpuLimit = UsedItsCpuTime(job, cpuSeconds);
    if ((code & kErrorSeverity) == kErrorSeverity) {
        end.crash = CrashName(code);
    } else if (code == kAbortExitCode) {
        end.crash = "aborted, exit code 3";
    } else {
        end.exited = true;
        end.status = static_cast<int>(code);
    }
    return end;
}

}  // namespace

HelperRun RunHelper(const std::string& helper, const std::string& input, uint64_t inputBytes,
                    const HelperLimits& limits) {
    HelperRun run;
    const double wallSeconds = WallSeconds(limits, inputBytes);
    Handle readEnd, writeEnd;
    if (::CreatePipe(readEnd.Out(), writeEnd.Out(), nullptr, 0) == 0) {
        run.trouble = "the importer could not be started (no pipe)";
        return run;
    }
    Handle nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr));
    Handle job = MakeJob(wallSeconds, limits.memoryBytes);
    const std::wstring commandLine = QuoteCommandLine({helper, input});
    PROCESS_INFORMATION process{};
    if (!nul || !job || !Start(commandLine, writeEnd.Get(), nul.Get(), job.Get(), process)) {
        run.trouble = "the importer could not be started";
        return run;
    }
    const Handle child(process.hProcess);
    writeEnd.Reset();
    const auto deadline = DeadlineIn(wallSeconds);
    const ReadSome readSome = [pipe = readEnd.Get()](int waitMs, std::vector<char>& chunk,
                                                     std::size_t& got) {
        return ReadSomeFrom(pipe, waitMs, chunk, got);
    };
    const std::string stop = ReadOutput(readSome, deadline, limits.maxOutputBytes, run.output);
    bool killedLate = false;
    if (!stop.empty()) {
        ::TerminateJobObject(job.Get(), 1);
    } else {
        // A helper that closed its output but lingers is killed at the deadline.
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const DWORD waitMs = left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
        if (::WaitForSingleObject(child.Get(), waitMs) == WAIT_TIMEOUT) {
            ::TerminateJobObject(job.Get(), 1);
            killedLate = true;
        }
    }
    ::WaitForSingleObject(child.Get(), INFINITE);
    RecordEnd(run, ExitOf(child.Get(), job.Get(), wallSeconds), stop, killedLate, wallSeconds);
    return run;
}

}  // namespace tarvel::import
