#include "cli/dropped_files.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/utf8_path.h"

namespace tarvel::cli {

namespace {

bool IsSubcommand(const CLI::App& app, const std::string& word) {
    return !app.get_subcommands([&word](const CLI::App* sub) { return sub->check_name(word); })
                .empty();
}

// No subcommand holds a dot or a path separator: such a word is a file
// name, and a missing file is better reported by the compile ("Error
// opening file") than as a missing subcommand. A misspelt subcommand is
// left for the parser to report.
bool NamesFile(const std::string& word) {
    std::error_code error;
    return std::filesystem::is_regular_file(PathFromUtf8(word), error) ||
           word.find_first_of("./\\") != std::string::npos;
}

}  // namespace

std::vector<const char*> WithDroppedFilesCompiled(const CLI::App& app, int argc,
                                                  const char* const* argv) {
    std::vector<const char*> args(argv, argv + argc);
    if (argc < 2) {
        return args;
    }
    const std::string first = argv[1];
    if (first.starts_with('-') || IsSubcommand(app, first) || !NamesFile(first)) {
        return args;
    }
    args.insert(args.begin() + 1, "compile");
    return args;
}

}  // namespace tarvel::cli
