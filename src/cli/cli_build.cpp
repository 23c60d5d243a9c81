#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "bsp/bsp_node.h"
#include "cli/cli_commands.h"
#include "cli/cli_import.h"
#include "cli/cli_log.h"
#include "driver/bsp_root.h"
#include "driver/import.h"
#include "log/thread_budget.h"

namespace tarvel::cli {

namespace {

struct BuildArgs {
    std::string file;
    LogOptions log;
    ImportOptions import;
};

void PrintCounters(const Counters& c) {
    std::printf("depth: %d, max depth: %d, polys done/input: %d/%d, splits: %d, nodes: %d\n",
                c.depth, c.maxDepth, c.polysDone, c.inputPolys, c.splitPolys, c.nodeCount);
}

int RunBuild(const BuildArgs& args) {
    std::optional<Counters> counters;
    FlatLists flats;
    {
        // The log closes first, so the console dumps stand before the counters.
        if (!LogSparesInput("build", args.log, args.file)) {
            return kExitUsage;
        }
        CliLog log(args.log);
        BeginPick(args.file);
        std::optional<ImportedScene> imported = ImportScene(args.file, args.import);
        if (!imported) {
            return kExitFailed;
        }
        imported->cupboard.FixBitmapNames();
        BSPNode root;
        BuildRequest request = BuildRequestFor(args.log);
        request.threads = MachineCores();
        flats = BuildBSPRoot(root, imported->polys, &imported->cupboard, PlanBuild(request));
        counters = ProgressCounters();
    }
    PrintCounters(*counters);
    std::printf("%s\n", FlatListsLine(flats).c_str());
    return kExitOk;
}

}  // namespace

void AddBuildCommand(CLI::App& app, int& exitStatus) {
    auto args = std::make_shared<BuildArgs>();
    CLI::App* command =
        app.add_subcommand("build", "Read a scene file, build its BSP tree and print the counters");
    command
        ->add_option("FILE", args->file, "The scene file (.ase or any format the importer reads)")
        ->required();
    AddLogOptions(*command, args->log);
    AddImportOptions(*command, args->import);
    command->callback([args, &exitStatus] { exitStatus = RunBuild(*args); });
}

}  // namespace tarvel::cli
