#include "cli/cli_log.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/utf8_path.h"

namespace tarvel::cli {

void AddLogOptions(CLI::App& command, LogOptions& options) {
    command.add_option("--log", options.logPath, "Write the debug log to FILE");
    command.add_flag("--console", options.console, "Let the console dumps reach standard output");
    command.add_flag("--debug", options.debug,
                     "Both: debug log in tarvelout.txt and dumps on standard output");
}

std::string LogPathOf(const LogOptions& options) {
    return options.debug ? std::string("tarvelout.txt") : options.logPath;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    const std::filesystem::path pathA = PathFromUtf8(a), pathB = PathFromUtf8(b);
    if (std::filesystem::equivalent(pathA, pathB, error)) {
        return true;
    }
    const std::filesystem::path first = std::filesystem::weakly_canonical(pathA, error);
    if (error) {
        return false;
    }
    const std::filesystem::path second = std::filesystem::weakly_canonical(pathB, error);
    return !error && first == second;
}

bool LogSparesInput(const char* command, const LogOptions& options, const std::string& input) {
    const std::string logPath = LogPathOf(options);
    if (logPath.empty() || !SameFile(logPath, input)) {
        return true;
    }
    std::fprintf(stderr, "%s: the log '%s' would overwrite the input '%s'\n", command,
                 logPath.c_str(), input.c_str());
    return false;
}

void LineMemoSink::AppendLine(std::string_view line) {
    WriteLine(line);
    ++lines_;
}

void LineMemoSink::DeleteFirstLine() {
    if (lines_ > 0) {
        --lines_;
    }
}

void LineMemoSink::ShowMessage(std::string_view text) {
    // A final line break ends the last line; it does not open another.
    do {
        const std::size_t end = text.find('\n');
        WriteLine(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    } while (!text.empty());
}

void StderrMemoSink::WriteLine(std::string_view line) {
    std::string whole(line);
    whole += '\n';
    std::fwrite(whole.data(), 1, whole.size(), stderr);
}

CliLog::CliLog(const LogOptions& options, const CliSinks& sinks) {
    LineMemoSink* memo = sinks.memo != nullptr ? sinks.memo : &memo_;
    context_.memo = memo;
    context_.messageBox = memo;
    context_.counterSink = sinks.counters;
    scope_.emplace(context_);
    const std::string logPath = LogPathOf(options);
    if (!logPath.empty()) {
        if (logFile_.Open(logPath)) {
            context_.logFile = &logFile_;
        } else {
            LogMemoF("Could not create log file '%s'.", logPath.c_str());
        }
    }
    if (options.console || options.debug) {
        console_.Attach(sinks.console != nullptr ? sinks.console : stdout);
        context_.console = &console_;
    }
}

CliLog::~CliLog() {
    logFile_.Close();
    console_.Close();
}

}  // namespace tarvel::cli
