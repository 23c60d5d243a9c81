#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "bsp/build_plan.h"
#include "log/file_sink.h"
#include "log/log.h"

namespace tarvel::cli {

// The log switches every compiling subcommand takes.
struct LogOptions {
    std::string logPath;   // --log FILE: the debug log; empty means none
    bool console = false;  // --console: the console dumps reach standard output
    bool debug = false;    // --debug: both, as the desktop app writes them
};

void AddLogOptions(CLI::App& command, LogOptions& options);

// The debug log's file for these options; empty when there is none.
std::string LogPathOf(const LogOptions& options);

// A build under these options: whether a log file and console dumps were
// asked for. The caller adds the strategy, the threads and any reader of the
// tree.
BuildRequest BuildRequestFor(const LogOptions& options);

// Whether two names reach one file, through links too. False when either
// name cannot be resolved: an unknown is no reason to refuse.
bool SameFile(const std::string& a, const std::string& b);

// Opening the debug log empties its file, so a log named like the input would
// destroy the scene before it is read. False, after a line on standard error
// naming the command, when it would.
bool LogSparesInput(const char* command, const LogOptions& options, const std::string& input);

// Memo lines and message boxes as whole lines of text: a message box of
// several lines becomes several lines.
class LineMemoSink : public MemoSink, public MessageBoxSink {
  public:
    void AppendLine(std::string_view line) override;
    int LineCount() const override { return lines_; }
    // Written text cannot be taken back; the count is all that shrinks.
    void DeleteFirstLine() override;
    void ShowMessage(std::string_view text) override;

  protected:
    // One line, without its line break.
    virtual void WriteLine(std::string_view line) = 0;

  private:
    int lines_ = 0;
};

// Memo lines and message boxes on standard error.
class StderrMemoSink final : public LineMemoSink {
  protected:
    void WriteLine(std::string_view line) override;
};

// Where one compile's log goes besides its log file; null members mean the
// headless defaults (standard error for memo and message boxes, standard
// output for the console dumps, no counter display).
struct CliSinks {
    LineMemoSink* memo = nullptr;
    std::FILE* console = nullptr;
    CounterSink* counters = nullptr;
};

// The sinks of one headless run, installed on the current thread for the
// lifetime of this object.
class CliLog {
  public:
    explicit CliLog(const LogOptions& options, const CliSinks& sinks = {});
    ~CliLog();
    CliLog(const CliLog&) = delete;
    CliLog& operator=(const CliLog&) = delete;

    LogContext& context() { return context_; }

  private:
    LogContext context_;
    StderrMemoSink memo_;
    BufferedFileSink logFile_;
    BufferedFileSink console_;
    std::optional<ScopedLogContext> scope_;
};

}  // namespace tarvel::cli
