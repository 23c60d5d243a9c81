#include <cstdio>

#include <CLI/CLI.hpp>

#include "cli/cli_commands.h"
#include "version/version.h"

int main(int argc, char** argv) {
    using namespace tarvel::cli;
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
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? kExitOk : kExitUsage;
    }
    std::fflush(stdout);
    return exitStatus;
}
