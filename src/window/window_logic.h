#pragma once

// What the main window does, without a toolkit: the switches, the work on a
// thread of its own and its stop, the sinks of the window's log, the counter
// and status texts, the states of the buttons while work runs, and what the
// prompts ask and what their answers do. A window (WindowView) forwards its
// events here and shows what it is told; it holds nothing else.
//
// Every call comes on the window's thread. The work reports through the
// view's wake-up: the window's thread then calls Drain, which shows what the
// work has logged, answers its dialogs and, once it has ended, finishes it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/compile_driver.h"
#include "driver/import.h"
#include "log/file_sink.h"
#include "log/log.h"
#include "window/background_work.h"
#include "window/command_line.h"
#include "window/preview_data.h"
#include "window/prompts.h"
#include "window/window_sinks.h"
#include "window/window_thread.h"
#include "window/window_view.h"

namespace tarvel::window {

inline constexpr const char* kLogFileName = "tarvelout.txt";

// Above this many picked polygons a logged build writes gigabytes: "BSP &&
// save as 3DO..." says so first.
inline constexpr int32_t kDebugLogWarningPolys = 20000;
inline constexpr const char* kDebugLogWarning =
    "Debug log is on: a scene this size writes gigabytes to tarvelout.txt. Uncheck Debug log "
    "for a fast build.";

class WindowLogic {
  public:
    // args as the operating system passes them. The view's controls exist;
    // the command line is evaluated here.
    WindowLogic(WindowView& view, Prompts& prompts, const std::vector<std::string>& args);
    // Stops a work still running and waits for it.
    ~WindowLogic();
    WindowLogic(const WindowLogic&) = delete;
    WindowLogic& operator=(const WindowLogic&) = delete;

    // Set when the command line ends the program before the window shows.
    std::optional<int> StartupExitStatus() const { return startupExit_; }
    // The status the program ends with once the window has closed.
    int ExitStatus() const { return exitStatus_; }

    const std::string& FileName() const { return fileName_; }
    const ImportedScene* Imported() const { return imported_ ? &*imported_ : nullptr; }
    const ConvertReport& LastReport() const { return lastReport_; }
    bool Busy() const { return busy_; }
    // The debug log (tarvelout.txt and the dumps on standard output) is on.
    bool DebugLogOn() const { return debugLog_; }
    LogContext& Log() { return context_; }
    // What the preview shows of the last pick and of the last run; null
    // before either.
    std::shared_ptr<const PreviewScene> PickPreview() const { return previewScene_; }
    std::shared_ptr<const PreviewRun> RunPreview() const { return previewRun_; }

    // The view's event loop runs: "-b" starts its unattended conversion, and
    // a file named on the command line is opened.
    void Start();

    void PickClicked();  // "&Pick ASE file..."
    void BspClicked();   // "&BSP && save as 3DO..."
    void StopClicked();  // "&Stop"
    void ClearLogClicked();
    // "&Debug log" checked or unchecked: opens (emptying it) or closes the
    // log file and lets the dumps reach standard output or not; remembered.
    void DebugLogToggled(bool on);
    // A scene file dropped on the window: picked as "&Pick ASE file..."
    // would after its dialog.
    void PickFile(const std::string& path);
    bool AcceptsDrops() const { return !busy_; }
    // A line for the memo from the view (a 3DO file the preview refused).
    void AddMemoLine(const std::string& line);
    // The window is about to close (Quit, its title bar). False while work
    // runs: the work is stopped, the window hidden, and closed once the work
    // has ended.
    bool CloseRequested();

    // Window thread, after WakeWindowThread.
    void Drain();

  private:
    void SetUpSinks();
    void OpenLogFile();
    void SetDebugLog(bool on);
    void FlushLog();
    // then(imported) runs once the import has ended.
    void ImportFile(const std::string& path, std::function<void(bool)> then);
    // then runs once the conversion has ended, or at once when nothing is
    // picked.
    void Convert(const ChooseSavePath& chooseSavePath, std::function<void()> then);
    std::optional<std::string> AskSavePath();
    void EndUnattended(bool saved);
    // One work at a time; then runs on the window thread once it has ended.
    void RunWork(std::function<void()> work, std::function<void()> then);
    void FinishWork();
    void SetBusy(bool busy);
    void CloseIfAsked();

    WindowView& view_;
    Prompts& prompts_;
    WindowThread thread_;
    WindowSinks sinks_;

    std::string fileName_;
    std::optional<ImportedScene> imported_;
    ConvertReport lastReport_;
    std::shared_ptr<const PreviewScene> previewScene_;
    std::shared_ptr<const PreviewRun> previewRun_;

    LogContext context_;
    // Lent to context_ as its stop flag; cleared when a work starts.
    StopFlag stop_{false};
    // Lent to context_: the window's work and the helpers it starts keep no
    // more threads busy than there are cores. The work holds one throughout.
    ThreadBudget budget_;
    bool debugLog_ = false;
    BufferedFileSink logFile_;
    BufferedFileSink console_;

    std::optional<int> startupExit_;
    std::optional<UnattendedJob> unattended_;
    std::optional<std::string> startFile_;
    int exitStatus_ = kExitOk;
    bool busy_ = false;
    bool closeWhenIdle_ = false;

    std::unique_ptr<BackgroundWork> work_;
    std::function<void()> afterWork_;
};

}  // namespace tarvel::window
