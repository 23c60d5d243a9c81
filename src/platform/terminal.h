#pragma once

// Whether a standard stream is a terminal, and how wide it is, for the
// progress line a batch redraws in place.

#include <cstddef>
#include <cstdio>

namespace tarvel {

bool IsTerminal(std::FILE* stream);

// Columns of the terminal behind stream; 0 when it is none or will not say.
std::size_t TerminalColumns(std::FILE* stream);

}  // namespace tarvel
