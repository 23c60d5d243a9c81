#pragma once

// Starting a program of the build from a test, the same way on every system:
// in a given folder, with its standard output and error in files.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvel::testing {

// The words of a command line as sh splits them: blanks separate, single
// and double quotes group, a backslash outside single quotes takes the next
// character as it is. No expansion of any kind.
std::vector<std::string> SplitWords(const std::string& line);

// A program started by StartProgram; killed if it still runs when dropped.
class RunningProgram {
  public:
    virtual ~RunningProgram() = default;
    // True once it has ended; status then holds its exit status, or -1 when
    // a signal or a crash ended it.
    virtual bool Ended(int& status) = 0;
    // Ctrl+C for this program alone. False where the system cannot send it
    // to one program (a console control event reaches the whole console).
    virtual bool Interrupt() = 0;
};

// argv[0] is the program's path. Null when it could not be started.
std::unique_ptr<RunningProgram> StartProgram(const std::filesystem::path& dir,
                                             const std::vector<std::string>& argv,
                                             const std::filesystem::path& out,
                                             const std::filesystem::path& err);

// Starts the program and waits for it: its exit status, or -1 as above.
int RunProgram(const std::filesystem::path& dir, const std::vector<std::string>& argv,
               const std::filesystem::path& out, const std::filesystem::path& err);

// Runs the program with its standard streams on a terminal and returns all
// it wrote there; none where a test cannot give it a terminal.
std::optional<std::string> RunOnTerminal(const std::filesystem::path& dir,
                                         const std::vector<std::string>& argv);

// Whether this is the Windows build running under wine, which does a few
// things Windows does otherwise.
bool UnderWine();

}  // namespace tarvel::testing
