#include <cstdio>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/cli_commands.h"
#include "cli/dropped_files.h"
#include "platform/own_console.h"
#include "platform/program_arguments.h"
#include "version/version.h"

namespace {

int Run(int argc, char** argv) {
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
    app.set_version_flag("--version", tarvel::version::VersionLine("tarvel-cli"));
    int exitStatus = kExitOk;
    AddParseCommand(app, exitStatus);
    AddBuildCommand(app, exitStatus);
    AddCompileCommand(app, exitStatus);
    AddInfoCommand(app, exitStatus);
    AddDumpCommand(app, exitStatus);
    AddRenderCommand(app, exitStatus);
    AddExportCommand(app, exitStatus);
    if (pointers.size() < 2) {
        // Started with nothing to do (double-clicked): say what it can do.
        std::fputs(app.help(pointers.empty() ? "tarvel-cli" : pointers[0]).c_str(), stdout);
        return kExitUsage;
    }
    const std::vector<const char*> args =
        WithDroppedFilesCompiled(app, static_cast<int>(pointers.size()), pointers.data());
    try {
        app.parse(static_cast<int>(args.size()), args.data());
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? kExitOk : kExitUsage;
    }
    return exitStatus;
}

}  // namespace

int main(int argc, char** argv) {
    const int status = Run(argc, argv);
    std::fflush(stdout);
    if (status != tarvel::cli::kExitOk) {
        tarvel::KeepOwnConsoleOpen();
    }
    return status;
}
