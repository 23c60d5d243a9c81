#pragma once

// The command line's texts, written out here as the user must see them.

#include <string>

namespace tarvel::window {

// The usage text after its banner line.
inline const std::string kUsageAfterBanner =
    "To use with the GUI interface, run with no commandline parameters.\n"
    "To use as a commandline tool, use this syntax:\n"
    "   tarvel -b filein.ase fileout.3do\n"
    "-this will compile filein.ase to fileout.3do.\n"
    "\nThe GUI will still appear, for error messages etc., but will be closed\n"
    "if compilation is successful, with no prompts.\n\n"
    "Long filenames have not been tested fully.\n\n";

inline const std::string kSyntaxReminder =
    "\n** Not enough parameters.  Please use this syntax:\n"
    "   tarvel -b filein.ase fileout.3do\n"
    "-this will compile filein.ase to fileout.3do.\n";

}  // namespace tarvel::window
