#include "platform/own_console.h"

namespace tarvel {

// A terminal belongs to the shell that started the program and stays open.
void KeepOwnConsoleOpen() {}

}  // namespace tarvel
