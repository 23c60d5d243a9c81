#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_log.h"

namespace tarvel::cli {

// One file of a batch: where it is read, where it is written, where its log goes.
struct BatchEntry {
    std::string input;
    std::string output;
    LogOptions log;
};

// The inputs in order, each given once, with their outputs and logs; nullopt
// (after a message on standard error) when two files would write the same
// output or log, or an output would overwrite an input.
std::optional<std::vector<BatchEntry>> PlanBatch(const std::vector<std::string>& inputs,
                                                 const LogOptions& log);

// FILE with the input's stem before its extension: "run.txt" and "a/village.ase"
// give "run.village.txt".
std::string LogPathFor(const std::string& logPath, const std::string& input);

}  // namespace tarvel::cli
