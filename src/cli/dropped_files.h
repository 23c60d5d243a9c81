#pragma once

#include <CLI/CLI.hpp>

#include <vector>

namespace tarvel::cli {

// Files dropped onto the program start it with their names as its only
// arguments; they mean `compile FILE...`. Returns the arguments to parse:
// argv as given, or with "compile" inserted when argv[1] is no subcommand
// and no option but names a file.
std::vector<const char*> WithDroppedFilesCompiled(const CLI::App& app, int argc,
                                                  const char* const* argv);

}  // namespace tarvel::cli
