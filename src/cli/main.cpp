#include <cstdio>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/cli_commands.h"
#include "platform/program_arguments.h"

int main(int argc, char** argv) {
    using namespace tarvel::cli;
    tarvel::PrepareConsole();
    // Every name is UTF-8 from here on, whatever the system passed.
    const std::vector<std::string> arguments = tarvel::ProgramArguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    CLI::App app{"tarvel-cli: compiles ASCII Scene Export (.ase) files into 3DO object files"};
    app.require_subcommand(1);
    int exitStatus = kExitOk;
    AddParseCommand(app, exitStatus);
    AddBuildCommand(app, exitStatus);
    AddCompileCommand(app, exitStatus);
    AddInfoCommand(app, exitStatus);
    AddDumpCommand(app, exitStatus);
    AddRenderCommand(app, exitStatus);
    AddExportCommand(app, exitStatus);
    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? kExitOk : kExitUsage;
    }
    std::fflush(stdout);
    return exitStatus;
}
