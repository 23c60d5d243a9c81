#include "cli/cli_commands.h"

namespace tarvel::cli {

// Placeholder until the subcommand is written.
void AddDumpCommand(CLI::App& app, int& exitStatus) {
    app.add_subcommand("dump", "(not available yet)")->callback([&exitStatus] {
        exitStatus = kExitFailed;
    });
}

}  // namespace tarvel::cli
