#include "platform/program_arguments.h"

namespace tarvel {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void PrepareConsole() {}

}  // namespace tarvel
