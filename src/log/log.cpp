#include "log/log.h"

#include <cstdio>

namespace tarvel {

namespace {

thread_local LogContext* tCurrent = nullptr;

LogContext& EmptyContext() {
    thread_local LogContext empty;
    return empty;
}

// Formats into a stack buffer first; most log lines are short.
template <typename Consumer>
void FormatInto(const char* format, va_list args, Consumer&& consume) {
    char local[512];
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(local, sizeof local, format, copy);
    va_end(copy);
    if (needed < 0) {
        return;
    }
    if (static_cast<std::size_t>(needed) < sizeof local) {
        consume(std::string_view(local, static_cast<std::size_t>(needed)));
        return;
    }
    std::string big(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(big.data(), big.size(), format, args);
    big.resize(static_cast<std::size_t>(needed));
    consume(std::string_view(big));
}

}  // namespace

ScopedLogContext::ScopedLogContext(LogContext& context) : previous_(tCurrent) {
    tCurrent = &context;
}

ScopedLogContext::~ScopedLogContext() {
    tCurrent = previous_;
}

LogContext& CurrentLog() {
    return tCurrent != nullptr ? *tCurrent : EmptyContext();
}

void LogMemo(std::string_view text) {
    if (MemoSink* memo = CurrentLog().memo) {
        memo->AppendLine(text);
    }
}

void LogMemoF(const char* format, ...) {
    MemoSink* memo = CurrentLog().memo;
    if (memo == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    FormatInto(format, args, [memo](std::string_view line) { memo->AppendLine(line); });
    va_end(args);
}

void LogFile(const char* format, ...) {
    TextSink* sink = CurrentLog().logFile;
    if (sink == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    FormatInto(format, args, [sink](std::string_view text) { sink->Write(text); });
    va_end(args);
}

void LogFileText(std::string_view text) {
    if (TextSink* sink = CurrentLog().logFile) {
        sink->Write(text);
    }
}

void LogConsole(const char* format, ...) {
    TextSink* sink = CurrentLog().console;
    if (sink == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    FormatInto(format, args, [sink](std::string_view text) { sink->Write(text); });
    va_end(args);
}

void LogConsoleText(std::string_view text) {
    if (TextSink* sink = CurrentLog().console) {
        sink->Write(text);
    }
}

bool LogFileActive() {
    const LogContext& log = CurrentLog();
    return log.debugDumps && log.logFile != nullptr;
}

bool LogConsoleActive() {
    const LogContext& log = CurrentLog();
    return log.debugDumps && log.console != nullptr;
}

bool DebugDumps() {
    return CurrentLog().debugDumps;
}

Counters& ProgressCounters() {
    return CurrentLog().counters;
}

void UpdateCounters() {
    LogContext& log = CurrentLog();
    if (log.counterSink != nullptr) {
        log.counterSink->CountersChanged(log.counters);
    }
}

bool StopRequested() {
    const LogContext& log = CurrentLog();
    const auto set = [](const StopFlag* flag) {
        return flag != nullptr && flag->load(std::memory_order_relaxed);
    };
    return set(log.stop) || set(log.abandoned);
}

void ThrowIfStopped() {
    if (StopRequested()) {
        throw CompileStopped();
    }
}

void ShowMessageBox(std::string_view text) {
    // Whoever stopped the compile is not to be kept waiting by it.
    if (StopRequested()) {
        return;
    }
    if (MessageBoxSink* box = CurrentLog().messageBox) {
        box->ShowMessage(text);
    }
}

std::string FormatV(const char* format, va_list args) {
    std::string out;
    FormatInto(format, args, [&out](std::string_view text) { out.assign(text); });
    return out;
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = FormatV(format, args);
    va_end(args);
    return out;
}

}  // namespace tarvel
