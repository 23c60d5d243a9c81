#pragma once

#include <CLI/CLI.hpp>

namespace tarvel::cli {

// Exit statuses of every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Each adds one subcommand whose callback stores its exit status.
void AddParseCommand(CLI::App& app, int& exitStatus);
void AddBuildCommand(CLI::App& app, int& exitStatus);
void AddCompileCommand(CLI::App& app, int& exitStatus);
void AddInfoCommand(CLI::App& app, int& exitStatus);
void AddDumpCommand(CLI::App& app, int& exitStatus);
void AddRenderCommand(CLI::App& app, int& exitStatus);
void AddExportCommand(CLI::App& app, int& exitStatus);

}  // namespace tarvel::cli
