#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "bsp/bsp_node.h"
#include "cli/cli_commands.h"
#include "cli/cli_log.h"
#include "driver/bsp_root.h"
#include "driver/import.h"

namespace tarvel::cli {

namespace {

struct BuildArgs {
    std::string file;
    LogOptions log;
};

void PrintCounters(const Counters& c) {
    std::printf("depth: %d, max depth: %d, polys done/input: %d/%d, splits: %d, nodes: %d\n",
                c.depth, c.maxDepth, c.polysDone, c.inputPolys, c.splitPolys, c.nodeCount);
}

int RunBuild(const BuildArgs& args) {
    std::optional<Counters> counters;
    {
        // The log closes first, so the console dumps stand before the counters.
        if (!LogSparesInput("build", args.log, args.file)) {
            return kExitUsage;
        }
        CliLog log(args.log);
        BeginPick();
        std::optional<ImportedScene> imported = ImportAse(args.file);
        if (!imported) {
            return kExitFailed;
        }
        imported->cupboard.FixBitmapNames();
        BSPNode root;
        BuildBSPRoot(root, imported->polys, &imported->cupboard,
                     PlanForCurrentLog(BuildStrategy::Fast, true));
        counters = ProgressCounters();
    }
    PrintCounters(*counters);
    return kExitOk;
}

}  // namespace

void AddBuildCommand(CLI::App& app, int& exitStatus) {
    auto args = std::make_shared<BuildArgs>();
    CLI::App* command = app.add_subcommand(
        "build", "Parse an .ase file, build its BSP tree and print the counters");
    command->add_option("FILE", args->file, "The ASCII Scene Export file")->required();
    AddLogOptions(*command, args->log);
    command->callback([args, &exitStatus] { exitStatus = RunBuild(*args); });
}

}  // namespace tarvel::cli
