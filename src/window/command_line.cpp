#include "window/command_line.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "log/log.h"

namespace tarvel::window {

namespace {

constexpr const char* kSyntax = "   tarvel -b filein.ase fileout.3do\n";
constexpr const char* kWhatItDoes = "-this will compile filein.ase to fileout.3do.\n";

std::string ToLowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

void PrintUsage() {
    LogConsole("TARVEL - compiles ASCII Scene Export (.ase) files into 3DO object files\n");
    LogConsole("To use with the GUI interface, run with no commandline parameters.\n");
    LogConsole("To use as a commandline tool, use this syntax:\n");
    LogConsole("%s", kSyntax);
    LogConsole("%s", kWhatItDoes);
    LogConsole("\nThe GUI will still appear, for error messages etc., but will be closed\n");
    LogConsole("if compilation is successful, with no prompts.\n\n");
    LogConsole("Long filenames have not been tested fully.\n\n");
}

// Read access is all the conversion needs, so a read-only input is fine.
bool CanReadInput(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

// Opens for appending, which creates a missing file but never truncates an
// existing one: the old output must survive a conversion that fails. A file
// the probe had to create is removed at once, so nothing stands under the
// output's name until the save renames the complete file there, even when
// the program is killed in between.
bool CanCreateOutput(const std::string& path) {
    std::error_code error;
    const bool existed = std::filesystem::exists(std::filesystem::symlink_status(path, error));
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    if (!existed) {
        std::filesystem::remove(path, error);
    }
    return true;
}

CommandLineResult CheckUnattended(const std::vector<std::string>& args) {
    CommandLineResult result;
    if (args.size() < 4) {
        LogConsole("\n** Not enough parameters.  Please use this syntax:\n");
        LogConsole("%s", kSyntax);
        LogConsole("%s", kWhatItDoes);
        result.exitStatus = kExitFailed;
        return result;
    }
    UnattendedJob job{args[2], args[3]};
    if (!CanReadInput(job.input)) {
        LogConsole("\n** Could not open file '%s' for input (ASE) **\n\n", job.input.c_str());
        result.exitStatus = kExitFailed;
        return result;
    }
    LogConsole("\n** Opening file '%s' for input (ASE) **\n\n", job.input.c_str());
    if (!CanCreateOutput(job.output)) {
        LogConsole("\n** Could not create file '%s' for output (3DO) **\n\n", job.output.c_str());
        result.exitStatus = kExitFailed;
        return result;
    }
    LogConsole("\n** Creating file '%s' for output (3DO) **\n\n", job.output.c_str());
    result.unattended = std::move(job);
    return result;
}

}  // namespace

bool AsksForUnattended(const std::vector<std::string>& args) {
    return args.size() >= 2 && ToLowerAscii(args[1]) == "-b";
}

CommandLineResult EvaluateCommandLine(const std::vector<std::string>& args) {
    if (args.size() < 2) {
        return {};
    }
    const std::string option = ToLowerAscii(args[1]);
    if (option == "-h") {
        PrintUsage();
        return {};
    }
    if (option == "-b") {
        return CheckUnattended(args);
    }
    CommandLineResult result;
    if (args.size() == 2 && !args[1].empty() && args[1][0] != '-') {
        result.startFile = args[1];
    }
    return result;
}

}  // namespace tarvel::window
