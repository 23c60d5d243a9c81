#include "cli/batch_compile.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <deque>
#include <exception>
#include <fstream>
#include <memory>
#include <thread>

#include "bsp/side_counting.h"
#include "cli/batch_plan.h"
#include "cli/batch_progress.h"
#include "cli/batch_terminal.h"
#include "cli/cli_commands.h"
#include "platform/terminal.h"
#include "platform/utf8_path.h"

namespace tarvel::cli {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// One file of the batch while it is compiled: the counters the progress line
// reads stay here after the compile's own context is gone.
struct Job {
    BatchEntry entry;
    LiveCounters counters;
    std::atomic<bool> running{false};
};

std::string FailureReason(const std::string& input, const CompileResult& result) {
    if (!result.imported) {
        // Only the importer helper fails on a file that opens.
        std::ifstream opened(PathFromUtf8(input), std::ios::binary);
        return opened ? "the scene could not be read" : "the input could not be opened";
    }
    switch (result.report.status) {
        case ConvertStatus::NoPolyList:
            return "there was nothing to compile";
        case ConvertStatus::NothingToSave:
            return "the conversion produced no nodes";
        case ConvertStatus::Cancelled:
            return "the save was cancelled";
        case ConvertStatus::OpenFailed:
            return "the output could not be created";
        case ConvertStatus::WriteFailed:
            return "writing the output failed";
        case ConvertStatus::Stopped:
            return "stopped";
        case ConvertStatus::Saved:
            break;
    }
    return "unknown failure";
}

std::string FailureLine(const std::string& input, const std::string& reason) {
    return "failed " + input + ": " + reason + "\n";
}

std::size_t TerminalWidth() {
    const std::size_t columns = TerminalColumns(stderr);
    if (columns > 1) {
        return columns - 1;  // the last column would make the line wrap
    }
    return 79;
}

class BatchRun {
  public:
    BatchRun(std::vector<BatchEntry> entries, const CompileSettings& settings)
        : settings_(settings), terminal_(IsTerminal(stderr)) {
        for (BatchEntry& entry : entries) {
            jobs_.emplace_back().entry = std::move(entry);
        }
    }

    int Run(unsigned workers) {
        std::optional<ProgressTicker> ticker;
        if (terminal_.showsProgress()) {
            ticker.emplace([this] { terminal_.Progress(ProgressText()); });
        }
        std::vector<std::thread> threads;
        for (unsigned i = 0; i < workers; ++i) {
            threads.emplace_back([this] { Work(); });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        if (ticker) {
            ticker->Stop();
        }
        terminal_.ClearProgress();
        return failed_.load() ? kExitFailed : kExitOk;
    }

  private:
    bool Stopped() const { return settings_.stop != nullptr && settings_.stop->load(); }

    void Work() {
        // Held while there are files left: once none is, the thread goes to
        // the helpers of the compiles still running.
        ThreadBudget::Grant own;
        if (settings_.budget != nullptr) {
            own = settings_.budget->Acquire();
        }
        for (std::size_t i = next_++; i < jobs_.size() && !Stopped(); i = next_++) {
            Job& job = jobs_[i];
            job.running = true;
            Compile(job);
            job.running = false;
            ++done_;
        }
    }

    void Compile(Job& job) {
        const BatchEntry& entry = job.entry;
        PrefixedMemoSink memo(terminal_, entry.input + ": ");
        // Dumps of compiles side by side would mix on standard output: each
        // is held in a file of its own and shown whole when it ends.
        FilePtr spool(entry.log.console ? std::tmpfile() : nullptr);
        if (entry.log.console && !spool) {
            memo.AppendLine("Could not hold the console dumps; they are not shown.");
        }
        CompileSettings settings = settings_;
        settings.log = entry.log;
        settings.log.console = spool != nullptr;
        bool saved = false;
        bool stopped = false;
        std::string line;
        try {
            const CompileResult result = CompileOne(entry.input, entry.output, settings,
                                                    {&memo, spool.get(), &job.counters});
            saved = result.exitStatus == kExitOk;
            stopped = result.stopped;
            line = saved ? SummaryLine(result.report)
                         : FailureLine(entry.input, FailureReason(entry.input, result));
        } catch (const std::exception& error) {
            line = FailureLine(entry.input, error.what());
        }
        if (!saved) {
            failed_ = true;
        }
        if (stopped) {
            // Its memo line says so; no dumps and no line on standard output.
            return;
        }
        terminal_.Output(spool.get(), line);
    }

    std::string ProgressText() {
        std::string text = Format("[%zu/%zu]", done_.load(), jobs_.size());
        const char* separator = " ";
        for (Job& job : jobs_) {
            if (job.running) {
                text += separator + ProgressItem(job.entry.input, job.counters.Snapshot());
                separator = " | ";
            }
        }
        return FitToWidth(std::move(text), TerminalWidth());
    }

    const CompileSettings& settings_;
    BatchTerminal terminal_;
    std::deque<Job> jobs_;  // Jobs stay where they are: threads hold them.
    std::atomic<std::size_t> next_{0}, done_{0};
    std::atomic<bool> failed_{false};
};

}  // namespace

int RunBatch(const std::vector<std::string>& inputs, const CompileSettings& settings,
             unsigned jobs) {
    std::optional<std::vector<BatchEntry>> entries = PlanBatch(inputs, settings.log);
    if (!entries) {
        return kExitUsage;
    }
    // More files at a time than there are threads to run them would only
    // take turns, each compile slower, and all of them hold their memory.
    const unsigned cores = settings.budget != nullptr ? settings.budget->threads() : MachineCores();
    jobs = jobs == 0 ? cores : std::min(jobs, cores);
    const auto workers = static_cast<unsigned>(std::min<std::size_t>(jobs, entries->size()));
    BatchRun run(std::move(*entries), settings);
    return run.Run(workers);
}

}  // namespace tarvel::cli
