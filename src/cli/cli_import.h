#pragma once

#include <CLI/CLI.hpp>

#include "driver/import.h"

namespace tarvel::cli {

// --up y|z and --scale F, for every command that imports a scene.
void AddImportOptions(CLI::App& command, ImportOptions& options);

}  // namespace tarvel::cli
