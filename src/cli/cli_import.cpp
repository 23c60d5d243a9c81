#include "cli/cli_import.h"

namespace tarvel::cli {

void AddImportOptions(CLI::App& command, ImportOptions& options) {
    command
        .add_option_function<std::string>(
            "--up",
            [&options](const std::string& axis) {
                options.placement.up = axis == "y" ? import::UpAxis::Y : import::UpAxis::Z;
            },
            "The scene's up axis, y or z (default: z for ASE, the format's own for others); "
            "the 3DO world is z-up")
        ->check(CLI::IsMember({"y", "z"}));
    command
        .add_option("--scale", options.placement.scale, "Scale factor for the scene (default 1)")
        ->check(CLI::Range(1e-6, 1e6));
}

}  // namespace tarvel::cli
