#pragma once

// The command line and the console in UTF-8, the program's inner encoding.

#include <string>
#include <vector>

namespace tarvel {

// The arguments as UTF-8. On Windows argv is in the ANSI code page, which
// loses any name outside it, so they are read again from the UTF-16 command
// line; elsewhere argv is returned as it is.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Makes the console show the program's UTF-8 output as text, and has the
// standard streams pass bytes as written, so that a line ends in LF on every
// system (a no-op where both already hold).
void PrepareConsole();

}  // namespace tarvel
