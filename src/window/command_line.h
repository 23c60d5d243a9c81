#pragma once

// The switches the window evaluates while it is being constructed: "-h"
// prints the usage text, "-b IN OUT" checks both names and asks for an
// unattended conversion. Messages go to the console sink of the current log.

#include <optional>
#include <string>
#include <vector>

namespace tarvel::window {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;

struct UnattendedJob {
    std::string input;
    std::string output;
};

struct CommandLineResult {
    // Set when the program ends before the window is shown.
    std::optional<int> exitStatus;
    std::optional<UnattendedJob> unattended;
    // "tarvel FILE", as a file manager's "Open with" starts it: the file is
    // picked (or, a 3DO file, previewed) once the window shows.
    std::optional<std::string> startFile;
};

// args[0] is the program, as the operating system passes it.
CommandLineResult EvaluateCommandLine(const std::vector<std::string>& args);

// Whether the switch is "-b" (in any case), however many names follow: such
// a run keeps the debug log on whatever the window's check box says.
bool AsksForUnattended(const std::vector<std::string>& args);

}  // namespace tarvel::window
