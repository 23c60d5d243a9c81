#pragma once

#include <string>
#include <vector>

#include "cli/cli_compile.h"

namespace tarvel::cli {

// Compiles several files, each to its default output, up to jobs at a time
// and never more than settings.budget has threads (0: one per core), each
// with a log of its own; each file's thread holds one of the budget's.
// Returns the exit status: 2 when the batch is refused before anything is
// compiled, 1 when any file failed, else 0. Once settings.stop is set, the
// running compiles stop at their next check and print nothing on standard
// output, and no further file starts.
int RunBatch(const std::vector<std::string>& inputs, const CompileSettings& settings,
             unsigned jobs);

}  // namespace tarvel::cli
