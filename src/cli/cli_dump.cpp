#include <cstdio>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_log.h"
#include "cli/cli_threedo.h"

namespace tarvel::cli {

namespace {

void DumpPools(const ThreeDoFile& file) {
    LogConsole("XYZS: %d vertices\n", file.vertices.count());
    for (int32_t i = 0; i < file.vertices.count(); ++i) {
        const Zertex& v = *file.vertices.entryAt(i);
        LogConsole("[%6d]: (%.9g, %.9g, %.9g)\n", i, v.c1, v.c2, v.c3);
    }
    LogConsole("PLAN: %d planes\n", file.planes.count());
    for (int32_t i = 0; i < file.planes.count(); ++i) {
        const Zertex& p = *file.planes.entryAt(i);
        LogConsole("[%6d]: (%.9g, %.9g, %.9g) %.9g\n", i, p.c1, p.c2, p.c3, p.c0);
    }
    LogConsole("STRN: %d names\n", file.strings.count());
    for (const GString& name : file.strings.entries()) {
        LogConsole("[%6d]: '%s'\n", name.offset, name.name.c_str());
    }
}

}  // namespace

void AddDumpCommand(CLI::App& app, int& exitStatus) {
    auto path = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "dump", "Print the node tree of a 3DO file as the debug dump shows it, then its pools");
    command->add_option("file", *path, "The .3do file")->required();
    command->callback([path, &exitStatus] {
        LogOptions options;
        options.console = true;
        CliLog log(options);
        exitStatus = InspectThreeDo(*path, [&](const ThreeDoFile& file) {
            file.root->Dump();
            DumpPools(file);
            CurrentLog().console->Flush();
            const std::optional<ThreeDoError> problem = CheckConsistency(file);
            return problem ? ReportProblem(*path, *problem) : kExitOk;
        });
    });
}

}  // namespace tarvel::cli
