#include "cli/cli_compile.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>
#include <vector>

#include "bsp/side_counting.h"
#include "cli/batch_compile.h"
#include "cli/cli_commands.h"
#include "cli/cli_import.h"
#include "driver/import.h"
#include "log/log.h"
#include "platform/utf8_path.h"

namespace tarvel::cli {

namespace {

struct CompileArgs {
    std::vector<std::string> inputs;
    std::string output;
    unsigned jobs = 0;  // 0: one per core
    std::string strategy = "fast";
    LogOptions log;
    ImportOptions import;
};

const std::map<std::string, BuildStrategy> kStrategies = {
    {"literal", BuildStrategy::Literal},
    {"fast", BuildStrategy::Fast},
};

int RunSingle(const CompileArgs& args, const CompileSettings& settings) {
    const std::string& input = args.inputs.front();
    const std::string output = args.output.empty() ? DefaultOutputFor(input) : args.output;
    if (SameFile(input, output)) {
        std::fprintf(stderr, "compile: the output '%s' is the input itself\n", output.c_str());
        return kExitUsage;
    }
    if (!LogSparesInput("compile", settings.log, input)) {
        return kExitUsage;
    }
    CompileResult result;
    {
        const ThreadBudget::Grant own = settings.budget->Acquire();
        result = CompileOne(input, output, settings);
    }
    if (result.report.status == ConvertStatus::Saved) {
        const std::string line = SummaryLine(result.report);
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return result.exitStatus;
}

int RunCompile(const CompileArgs& args) {
    if (args.inputs.size() > 1 && !args.output.empty()) {
        std::fprintf(stderr, "compile: -o is allowed only with a single input\n");
        return kExitUsage;
    }
    const InterruptStop interrupt;
    CompileSettings settings;
    settings.log = args.log;
    settings.strategy = kStrategies.at(args.strategy);
    settings.import = args.import;
    settings.stop = &interrupt.flag();
    // One for the whole invocation: the files of a batch and the helpers of
    // each compile share the cores.
    ThreadBudget budget(MachineCores());
    settings.budget = &budget;
    if (args.inputs.size() == 1) {
        // kExitInterrupted when stopped; a stop that came after the save
        // leaves the file written and the status 0.
        return RunSingle(args, settings);
    }
    // A batch stops all of its compiles and starts no more; files finished
    // before the stop stay written.
    const int status = RunBatch(args.inputs, settings, args.jobs);
    return interrupt.interrupted() && status != kExitUsage ? kExitInterrupted : status;
}

}  // namespace

std::string SummaryLine(const ConvertReport& r) {
    return Format(
        "wrote %s: %d vertices, %d planes, %d textures, %d node records, %llu bytes\n%s\n",
        r.path.c_str(), r.vertices, r.planes, r.textures, r.nodeRecords,
        static_cast<unsigned long long>(r.bytesWritten), FlatListsLine(r.flatLists).c_str());
}

std::string DefaultOutputFor(const std::string& input) {
    return Utf8FromPath(PathFromUtf8(input).replace_extension(".3do"));
}

CompileResult CompileOne(const std::string& input, const std::string& output,
                         const CompileSettings& settings, const CliSinks& sinks) {
    CompileResult result;
    // The log closes before the caller prints, so the console dumps stand
    // before any summary.
    CliLog log(settings.log, sinks);
    log.context().stop = settings.stop;
    log.context().budget = settings.budget;
    BeginPick(input);
    std::optional<ImportedScene> scene = ImportScene(input, settings.import);
    if (!scene) {
        result.stopped = StopRequested();
        result.exitStatus = result.stopped ? kExitInterrupted : kExitFailed;
        return result;
    }
    result.imported = true;
    // Nothing here reads the scene after the import, nor its polygons once
    // the build has copied them: a large scene would hold its memory through
    // the whole compile.
    scene->scene = Scene{};
    ConvertOptions options;
    options.strategy = settings.strategy;
    options.polysCopied = [&scene] { scene->polys = PolyList{}; };
    result.report = RunConversion(
        &scene->polys, &scene->cupboard, [&output] { return std::optional<std::string>(output); },
        options);
    result.stopped = result.report.status == ConvertStatus::Stopped;
    if (result.report.status == ConvertStatus::Saved) {
        result.exitStatus = kExitOk;
    } else if (result.stopped) {
        result.exitStatus = kExitInterrupted;
    }
    return result;
}

void AddCompileCommand(CLI::App& app, int& exitStatus) {
    auto args = std::make_shared<CompileArgs>();
    CLI::App* command = app.add_subcommand(
        "compile", "Compile scene files (.ase or any format the importer reads) into .3do files");
    command->add_option("IN", args->inputs, "The scene files")->required();
    command->add_option("-o,--output", args->output,
                        "The 3DO file to write (default: IN with the extension .3do); "
                        "one input only");
    command
        ->add_option("-j,--jobs", args->jobs,
                     "How many files compile at a time, at most one per core (default: "
                     "one per core); the cores a batch leaves free help its compiles")
        ->check(CLI::PositiveNumber);
    command->add_option("--strategy", args->strategy, "How the BSP build counts sides")
        ->check(CLI::IsMember({"literal", "fast"}));
    AddLogOptions(*command, args->log);
    AddImportOptions(*command, args->import);
    command->callback([args, &exitStatus] { exitStatus = RunCompile(*args); });
}

}  // namespace tarvel::cli
