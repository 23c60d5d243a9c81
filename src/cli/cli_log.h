#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "log/file_sink.h"
#include "log/log.h"

namespace tarvel::cli {

// The log switches every compiling subcommand takes.
struct LogOptions {
    std::string logPath;  // --log FILE: the debug log; empty means none
    bool console = false; // --console: the console dumps reach standard output
    bool debug = false;   // --debug: both, as the desktop app writes them
};

void AddLogOptions(CLI::App& command, LogOptions& options);

// Memo lines and message boxes on standard error, one line each.
class StderrMemoSink final : public MemoSink, public MessageBoxSink {
public:
    void AppendLine(std::string_view line) override;
    int LineCount() const override { return lines_; }
    // Standard error cannot take a line back; the count is all that shrinks.
    void DeleteFirstLine() override;
    void ShowMessage(std::string_view text) override;

private:
    int lines_ = 0;
};

// The sinks of one headless run, installed on the current thread for the
// lifetime of this object.
class CliLog {
public:
    explicit CliLog(const LogOptions& options);
    ~CliLog();
    CliLog(const CliLog&) = delete;
    CliLog& operator=(const CliLog&) = delete;

    LogContext& context() { return context_; }
    StderrMemoSink& memo() { return memo_; }

private:
    LogContext context_;
    StderrMemoSink memo_;
    BufferedFileSink logFile_;
    BufferedFileSink console_;
    std::optional<ScopedLogContext> scope_;
};

}  // namespace tarvel::cli
