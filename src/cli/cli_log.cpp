#include "cli/cli_log.h"

#include <cstdio>

namespace tarvel::cli {

void AddLogOptions(CLI::App& command, LogOptions& options) {
    command.add_option("--log", options.logPath, "Write the debug log to FILE");
    command.add_flag("--console", options.console, "Let the console dumps reach standard output");
    command.add_flag("--debug", options.debug,
                     "Both: debug log in tarvelout.txt and dumps on standard output");
}

void StderrMemoSink::AppendLine(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    ++lines_;
}

void StderrMemoSink::DeleteFirstLine() {
    if (lines_ > 0) {
        --lines_;
    }
}

void StderrMemoSink::ShowMessage(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    if (text.empty() || text.back() != '\n') {
        std::fputc('\n', stderr);
    }
}

CliLog::CliLog(const LogOptions& options) {
    context_.memo = &memo_;
    context_.messageBox = &memo_;
    scope_.emplace(context_);
    const std::string logPath = options.debug ? std::string("tarvelout.txt") : options.logPath;
    if (!logPath.empty()) {
        if (logFile_.Open(logPath)) {
            context_.logFile = &logFile_;
        } else {
            LogMemoF("Could not create log file '%s'.", logPath.c_str());
        }
    }
    if (options.console || options.debug) {
        console_.Attach(stdout);
        context_.console = &console_;
    }
}

CliLog::~CliLog() {
    logFile_.Close();
    console_.Close();
}

}  // namespace tarvel::cli
