#include "cli/own_console.h"

namespace tarvel::cli {

// A terminal belongs to the shell that started the program and stays open.
void KeepOwnConsoleOpen() {}

}  // namespace tarvel::cli
