#include "cli/cli_commands.h"

namespace tarvel::cli {

// Placeholder until the subcommand is written.
void AddInfoCommand(CLI::App& app, int& exitStatus) {
    app.add_subcommand("info", "(not available yet)")->callback([&exitStatus] {
        exitStatus = kExitFailed;
    });
}

}  // namespace tarvel::cli
