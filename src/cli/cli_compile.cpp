#include "cli/cli_commands.h"

namespace tarvel::cli {

// Placeholder until the subcommand is written.
void AddCompileCommand(CLI::App& app, int& exitStatus) {
    app.add_subcommand("compile", "(not available yet)")->callback([&exitStatus] {
        exitStatus = kExitFailed;
    });
}

}  // namespace tarvel::cli
