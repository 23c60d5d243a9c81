#pragma once

// The Log of the compile running on this thread: three sinks (memo, log file,
// console), the progress counters and the message box. Every stage writes
// through these free functions; a front end installs a LogContext for the
// thread first (ScopedLogContext). Without one, everything is discarded.

#include <cstdarg>
#include <string>
#include <string_view>

#include "log/counters.h"
#include "log/sinks.h"
#include "log/stop.h"
#include "log/thread_budget.h"
#include "platform/printf_format.h"

namespace tarvel {

class LogContext {
  public:
    // Sinks are borrowed; null means "discard".
    MemoSink* memo = nullptr;
    TextSink* logFile = nullptr;
    TextSink* console = nullptr;
    CounterSink* counterSink = nullptr;
    MessageBoxSink* messageBox = nullptr;

    // The switch behind every debug dump. On from the start; nothing clears it.
    bool debugDumps = true;

    // The compile's stop request, borrowed; null means it cannot be stopped.
    // A thread that works for the compile under a context of its own copies
    // this pointer into it.
    const StopFlag* stop = nullptr;
    // A helper thread's second stop flag, set by the build it works for
    // when that build no longer wants its work; null elsewhere.
    const StopFlag* abandoned = nullptr;

    // The process's thread budget, borrowed; null means every helper runs
    // with the threads it asks for. The thread running the compile already
    // holds one of its threads; a thread that works for the compile under a
    // context of its own copies this pointer into it.
    ThreadBudget* budget = nullptr;

    Counters counters;

    // Reused by the dumps for formatting, so a dump line costs no allocation.
    std::string scratch;
};

// Installs a context for the current thread for the lifetime of this object.
class ScopedLogContext {
  public:
    explicit ScopedLogContext(LogContext& context);
    ~ScopedLogContext();
    ScopedLogContext(const ScopedLogContext&) = delete;
    ScopedLogContext& operator=(const ScopedLogContext&) = delete;

  private:
    LogContext* previous_;
};

// The context installed on this thread (an empty one when none is).
LogContext& CurrentLog();

// One memo line.
void LogMemo(std::string_view text);
// One memo line from a printf-style format.
void LogMemoF(const char* format, ...) TARVEL_PRINTF(1, 2);
// printf-style write to the log file; adds no line break.
void LogFile(const char* format, ...) TARVEL_PRINTF(1, 2);
void LogFileText(std::string_view text);
// printf-style write to the console (standard output); adds no line break.
void LogConsole(const char* format, ...) TARVEL_PRINTF(1, 2);
void LogConsoleText(std::string_view text);

// True when debug dumps are on and the log file sink takes them: callers skip
// building a dump that would be discarded.
bool LogFileActive();
bool LogConsoleActive();
bool DebugDumps();

// The counters of this thread's compile, and the call after every change.
Counters& ProgressCounters();
void UpdateCounters();

// Whether the current compile has been asked to stop.
bool StopRequested();
// Throws CompileStopped once it has: called by the parser every few thousand
// lines, by the BSP build at every node and by the conversion at every node.
void ThrowIfStopped();

// The modal message box; none once the compile has been asked to stop.
void ShowMessageBox(std::string_view text);

// Runs build(out) on this thread's cleared scratch buffer and writes the
// result to the log file (LogFileWrite) or the console (LogConsoleWrite).
// Nothing is built when that sink is absent. build must not log itself.
template <typename Build>
void LogFileWrite(Build&& build) {
    LogContext& log = CurrentLog();
    if (log.logFile != nullptr) {
        log.scratch.clear();
        build(log.scratch);
        log.logFile->Write(log.scratch);
    }
}
template <typename Build>
void LogConsoleWrite(Build&& build) {
    LogContext& log = CurrentLog();
    if (log.console != nullptr) {
        log.scratch.clear();
        build(log.scratch);
        log.console->Write(log.scratch);
    }
}

// printf-style formatting into a std::string.
std::string FormatV(const char* format, va_list args);
std::string Format(const char* format, ...) TARVEL_PRINTF(1, 2);

}  // namespace tarvel
