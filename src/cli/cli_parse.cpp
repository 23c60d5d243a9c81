#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_log.h"
#include "driver/import.h"

namespace tarvel::cli {

namespace {

struct ParseArgs {
    std::string file;
    LogOptions log;
};

int RunParse(const ParseArgs& args) {
    std::optional<ImportedScene> imported;
    {
        // The log closes first, so the console dumps stand before the summary.
        if (!LogSparesInput("parse", args.log, args.file)) {
            return kExitUsage;
        }
        CliLog log(args.log);
        BeginPick();
        imported = ImportAse(args.file);
    }
    if (!imported) {
        return kExitFailed;
    }
    std::printf("objects: %d, materials: %d, polygons: %d\n", imported->scene.Count(),
                imported->cupboard.Count(), imported->polys.Count());
    return kExitOk;
}

}  // namespace

void AddParseCommand(CLI::App& app, int& exitStatus) {
    auto args = std::make_shared<ParseArgs>();
    CLI::App* command = app.add_subcommand("parse", "Parse an .ase file and print what it holds");
    command->add_option("FILE", args->file, "The ASCII Scene Export file")->required();
    AddLogOptions(*command, args->log);
    command->callback([args, &exitStatus] { exitStatus = RunParse(*args); });
}

}  // namespace tarvel::cli
