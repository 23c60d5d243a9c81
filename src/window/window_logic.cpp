#include "window/window_logic.h"

#include <utility>

#include "bsp/build_plan.h"
#include "bsp/flat_lists.h"
#include "log/thread_budget.h"
#include "render/bsp_snapshot.h"
#include "window/dropped_file.h"

namespace tarvel::window {

WindowLogic::WindowLogic(WindowView& view, Prompts& prompts, const std::vector<std::string>& args)
    : view_(view),
      prompts_(prompts),
      thread_([this] { view_.WakeWindowThread(); }),
      sinks_(view, prompts, thread_),
      budget_(MachineCores()) {
    // Nothing is loaded yet: the file name, scene, cupboard and poly list
    // start empty as members.
    SetUpSinks();
    SetBusy(false);
    view_.SetEnabled(Control::Preview, false);
    ScopedLogContext scope(context_);
    // "-b" keeps the log on whatever the box says, so that a script gets the
    // same on every machine; the box shows it, but that is not remembered.
    const bool debugLog = AsksForUnattended(args) || view_.RememberedDebugLog();
    view_.SetDebugLogChecked(debugLog);
    if (debugLog) {
        OpenLogFile();
    }
    // The switches print on standard output even with the log off.
    CommandLineResult commandLine = EvaluateCommandLine(args);
    FlushLog();
    SetDebugLog(debugLog);
    startupExit_ = commandLine.exitStatus;
    unattended_ = std::move(commandLine.unattended);
    startFile_ = std::move(commandLine.startFile);
}

WindowLogic::~WindowLogic() {
    stop_.store(true);
    // A work waiting for a dialog gets no answer now; it winds down instead.
    thread_.Shutdown();
    work_.reset();
    FlushLog();
}

void WindowLogic::SetUpSinks() {
    context_.memo = &sinks_.memo();
    context_.counterSink = &sinks_.counters();
    context_.messageBox = &sinks_.messageBox();
    console_.Attach(stdout);
    context_.console = &console_;
    context_.stop = &stop_;
    context_.budget = &budget_;
}

void WindowLogic::OpenLogFile() {
    if (logFile_.Open(kLogFileName)) {
        context_.logFile = &logFile_;
    } else {
        // The rest of the program writes on; its log-file lines are dropped.
        LogMemoF("Could not create log file '%s'.", kLogFileName);
    }
}

// On: the log file, once OpenLogFile has emptied and opened it, takes the
// debug log, the dumps reach standard output, and the build counts every
// side for them. Off: nothing reaches either, and the build takes the
// headless tool's fast path (splitter search, conversion following the build).
void WindowLogic::SetDebugLog(bool on) {
    debugLog_ = on;
    if (on) {
        context_.console = &console_;
        return;
    }
    FlushLog();
    context_.logFile = nullptr;
    context_.console = nullptr;
    logFile_.Close();
}

void WindowLogic::FlushLog() {
    logFile_.Flush();
    console_.Flush();
}

void WindowLogic::DebugLogToggled(bool on) {
    if (busy_ || on == debugLog_) {
        return;
    }
    view_.RememberDebugLog(on);
    ScopedLogContext scope(context_);
    if (on) {
        OpenLogFile();
    }
    SetDebugLog(on);
}

void WindowLogic::StopClicked() {
    if (busy_) {
        stop_.store(true);
    }
}

void WindowLogic::ClearLogClicked() {
    sinks_.ClearMemo();
}

void WindowLogic::AddMemoLine(const std::string& line) {
    ScopedLogContext scope(context_);
    LogMemo(line);
    sinks_.Refresh();
}

void WindowLogic::PickClicked() {
    if (busy_) {
        return;
    }
    ScopedLogContext scope(context_);
    BeginPick();
    const std::optional<std::string> path = prompts_.ChooseAseFile();
    if (path) {
        ImportFile(*path, nullptr);
    }
}

void WindowLogic::PickFile(const std::string& path) {
    if (busy_) {
        return;
    }
    ScopedLogContext scope(context_);
    BeginPick(path);
    ImportFile(path, nullptr);
}

void WindowLogic::BspClicked() {
    if (busy_) {
        return;
    }
    if (debugLog_ && imported_ && imported_->polys.Count() > kDebugLogWarningPolys) {
        ScopedLogContext scope(context_);
        LogMemo(kDebugLogWarning);
    }
    Convert([this] { return AskSavePath(); }, nullptr);
}

// Work thread: the dialog is the window's.
std::optional<std::string> WindowLogic::AskSavePath() {
    std::optional<std::string> path;
    thread_.Call([this, &path] {
        // Show the finished build before asking where to save it.
        sinks_.Refresh();
        path = prompts_.Choose3doFile();
    });
    return path;
}

void WindowLogic::ImportFile(const std::string& path, std::function<void(bool)> then) {
    fileName_ = path;
    auto result = std::make_shared<std::optional<ImportedScene>>();
    RunWork([result, path] { *result = ImportScene(path); },
            [this, result, then = std::move(then)] {
                const bool imported = result->has_value();
                if (imported) {
                    imported_ = std::move(*result);
                    previewScene_ = MakePreviewScene(*imported_);
                    previewRun_.reset();
                    view_.SetEnabled(Control::Preview, true);
                    view_.ShowPreviewScene(previewScene_);
                }
                if (then) {
                    then(imported);
                }
            });
}

void WindowLogic::Convert(const ChooseSavePath& chooseSavePath, std::function<void()> then) {
    view_.SetPanelText(Panel::Depth, "..");
    view_.SetPanelText(Panel::Polys, "..");
    lastReport_ = ConvertReport{};
    if (!imported_) {
        if (then) {
            then();
        }
        return;
    }
    view_.SetStatusText("");
    auto run = std::make_shared<PreviewRun>();
    auto report = std::make_shared<ConvertReport>();
    // Decided here, on the window's thread, from the switches as they are now.
    const BuildPlan plan = PlanBuild({.logFile = debugLog_,
                                      .consoleDumps = debugLog_,
                                      .readsTree = true,
                                      .threads = budget_.threads()});
    RunWork(
        [this, run, report, chooseSavePath, plan] {
            ConvertOptions options;
            options.plan = plan;
            options.afterBuild = [&run](const BSPNode& root) {
                run->tree = render::TakeBspSnapshot(root);
            };
            *report =
                RunConversion(&imported_->polys, &imported_->cupboard, chooseSavePath, options);
        },
        [this, run, report, then = std::move(then)] {
            lastReport_ = *report;
            if (lastReport_.status != ConvertStatus::NoPolyList) {
                view_.SetStatusText(FlatListsLine(lastReport_.flatLists));
            }
            run->counters = context_.counters;
            run->saved = lastReport_.status == ConvertStatus::Saved;
            run->bytesWritten = lastReport_.bytesWritten;
            run->path = run->saved ? lastReport_.path : std::string();
            previewRun_ = run;
            view_.ShowPreviewRun(previewRun_);
            if (then) {
                then();
            }
        });
}

void WindowLogic::Start() {
    if (startFile_ && !startupExit_) {
        const std::string path = *startFile_;
        startFile_.reset();
        if (ClassifyDroppedFile(path) == DroppedFileKind::ThreeDo) {
            view_.OpenThreeDoFile(path);
        } else {
            PickFile(path);
        }
        return;
    }
    if (!unattended_ || startupExit_) {
        return;
    }
    const UnattendedJob job = *unattended_;
    unattended_.reset();
    ImportFile(job.input, [this, job](bool imported) {
        if (!imported || closeWhenIdle_) {
            EndUnattended(false);
            return;
        }
        Convert([job] { return std::optional<std::string>(job.output); },
                [this] { EndUnattended(lastReport_.status == ConvertStatus::Saved); });
    });
}

void WindowLogic::EndUnattended(bool saved) {
    if (!saved) {
        exitStatus_ = kExitFailed;
    }
    view_.UnattendedRunEnded(saved);
    if (saved) {
        view_.CloseWindow();
    }
}

void WindowLogic::RunWork(std::function<void()> work, std::function<void()> then) {
    stop_.store(false);
    SetBusy(true);
    afterWork_ = std::move(then);
    // One work at a time: its thread is one of the budget's, and the helpers
    // a compile starts share the rest.
    auto holding = [this, work = std::move(work)] {
        const ThreadBudget::Grant own = budget_.Acquire();
        work();
    };
    work_ =
        std::make_unique<BackgroundWork>(context_, std::move(holding), [this] { thread_.Wake(); });
}

void WindowLogic::Drain() {
    thread_.Woken();
    thread_.RunPending();
    sinks_.Refresh();
    if (work_ && work_->Finished()) {
        FinishWork();
    }
}

void WindowLogic::FinishWork() {
    const std::optional<std::string> failure = work_->Join();
    work_.reset();
    const std::function<void()> then = std::move(afterWork_);
    afterWork_ = nullptr;
    FlushLog();
    // Whatever came last is what the panels and the memo must end on.
    sinks_.Refresh();
    SetBusy(false);
    if (failure) {
        prompts_.ShowMessage(*failure);
    }
    if (then) {
        ScopedLogContext scope(context_);
        then();
    }
    CloseIfAsked();
}

void WindowLogic::SetBusy(bool busy) {
    busy_ = busy;
    view_.SetEnabled(Control::Pick, !busy);
    view_.SetEnabled(Control::Bsp, !busy);
    view_.SetEnabled(Control::Stop, busy);
    view_.SetEnabled(Control::DebugLog, !busy);
}

void WindowLogic::CloseIfAsked() {
    if (!closeWhenIdle_ || busy_) {
        return;
    }
    closeWhenIdle_ = false;
    view_.CloseWindow();
}

bool WindowLogic::CloseRequested() {
    if (busy_) {
        // Quit stops the work: the window goes at once, and the program ends
        // when the work has reached its next check (CloseIfAsked).
        stop_.store(true);
        closeWhenIdle_ = true;
        view_.HideWindow();
        return false;
    }
    FlushLog();
    context_.logFile = nullptr;
    logFile_.Close();
    return true;
}

}  // namespace tarvel::window
