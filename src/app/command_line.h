#pragma once

// The switches the window evaluates while it is being constructed: "-h"
// prints the usage text, "-b IN OUT" checks both names and asks for an
// unattended conversion. Messages go to the console sink of the current log.

#include <optional>
#include <string>
#include <vector>

namespace tarvel::app {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;

struct UnattendedJob {
    std::string input;
    std::string output;
    // The check made the output file; it is removed again when the
    // conversion does not write it, so a failure leaves no empty file.
    bool outputCreatedByCheck = false;
};

struct CommandLineResult {
    // Set when the program ends before the window is shown.
    std::optional<int> exitStatus;
    std::optional<UnattendedJob> unattended;
};

// args[0] is the program, as the operating system passes it.
CommandLineResult EvaluateCommandLine(const std::vector<std::string>& args);

// Removes the output file a check created when it is still empty.
void RemoveUnwrittenOutput(const UnattendedJob& job);

}  // namespace tarvel::app
