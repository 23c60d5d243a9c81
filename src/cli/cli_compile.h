#pragma once

#include <string>

#include "bsp/bsp_builder.h"
#include "cli/cli_commands.h"
#include "cli/cli_log.h"
#include "cli/interrupt_stop.h"
#include "driver/compile_driver.h"
#include "driver/import.h"

namespace tarvel::cli {

// What every compile of one invocation shares.
struct CompileSettings {
    LogOptions log;
    BuildStrategy strategy = BuildStrategy::Fast;
    ImportOptions import;
    // Set (by the SIGINT handler) to stop every compile; null: no stopping.
    const StopFlag* stop = nullptr;
    // The invocation's threads, lent to every compile's log; null: none
    // counted. Whoever runs a compile holds one of them for it.
    ThreadBudget* budget = nullptr;
};

struct CompileResult {
    bool imported = false;  // false: the input did not open, or the parse was stopped
    bool stopped = false;   // the stop flag ended the compile; nothing was written
    ConvertReport report;
    int exitStatus = kExitFailed;  // kExitInterrupted when stopped
};

// The input's name with its extension replaced by ".3do".
std::string DefaultOutputFor(const std::string& input);

// One whole compile, pick to save, with its own log on the current thread:
// memo lines and message boxes on standard error unless sinks say otherwise.
CompileResult CompileOne(const std::string& input, const std::string& output,
                         const CompileSettings& settings, const CliSinks& sinks = {});

// The lines standard output gets for a saved file: what was written, then
// what the recursion guard flattened.
std::string SummaryLine(const ConvertReport& report);

}  // namespace tarvel::cli
