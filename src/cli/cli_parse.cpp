#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_import.h"
#include "cli/cli_log.h"
#include "driver/import.h"

namespace tarvel::cli {

namespace {

struct ParseArgs {
    std::string file;
    LogOptions log;
    ImportOptions import;
};

int RunParse(const ParseArgs& args) {
    std::optional<ImportedScene> imported;
    {
        // The log closes first, so the console dumps stand before the summary.
        if (!LogSparesInput("parse", args.log, args.file)) {
            return kExitUsage;
        }
        CliLog log(args.log);
        BeginPick(args.file);
        imported = ImportScene(args.file, args.import);
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
    CLI::App* command = app.add_subcommand("parse", "Parse a scene file and print what it holds");
    command
        ->add_option("FILE", args->file, "The scene file (.ase or any format the importer reads)")
        ->required();
    AddLogOptions(*command, args->log);
    AddImportOptions(*command, args->import);
    command->callback([args, &exitStatus] { exitStatus = RunParse(*args); });
}

}  // namespace tarvel::cli
