#pragma once

// The main window: two buttons that start the work (pick an .ase file, BSP
// and save as .3do), Stop, five counter panels, the memo of the Log, About,
// Quit, Clear Log, Preview and the Debug log check box. The window owns what
// the last pick produced and the sinks of its log; the work itself runs on a
// worker thread (background_job.h) while the window stays painted, refuses a
// second start and lets Stop set the work's stop flag.

#include <QFileDialog>
#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/preview_data.h"
#include "app/prompts.h"
#include "app/window_sinks.h"
#include "driver/compile_driver.h"
#include "driver/import.h"
#include "log/file_sink.h"
#include "log/log.h"

namespace Ui {
class TForm1;
}

namespace tarvel::app {

class PreviewWindow;

inline constexpr const char* kLogFileName = "tarvelout.txt";

// Where the window keeps what it remembers between runs (QSettings).
inline constexpr const char* kSettingsOrganization = "Tarvel";
inline constexpr const char* kSettingsApplication = "tarvel";
inline constexpr const char* kDebugLogSetting = "debugLog";

// Above this many picked polygons a logged build writes gigabytes: "BSP &&
// save as 3DO..." says so first.
inline constexpr int32_t kDebugLogWarningPolys = 20000;
inline constexpr const char* kDebugLogWarning =
    "Debug log is on: a scene this size writes gigabytes to tarvelout.txt. Uncheck Debug log "
    "for a fast build.";

class TForm1 final : public QMainWindow {
    Q_OBJECT

  public:
    // args as the operating system passes them; prompts null means the
    // window's own dialogs.
    explicit TForm1(std::vector<std::string> args, std::unique_ptr<Prompts> prompts = nullptr,
                    QWidget* parent = nullptr);
    ~TForm1() override;

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
    // Null until the preview has been opened.
    PreviewWindow* Preview() const { return preview_.get(); }
    LogContext& Log() { return context_; }

  public slots:
    void Button1Click();     // "&Pick ASE file..."
    void Button2Click();     // "&BSP && save as 3DO..."
    void Button3Click();     // "&About..."
    void Button4Click();     // "&Quit"
    void Button5Click();     // "Clear Log"
    void Button6Click();     // "Pre&view..."
    void ButtonStopClick();  // "&Stop"
    // "&Debug log" checked or unchecked: opens (emptying it) or closes the
    // log file and lets the dumps reach standard output or not; remembered.
    void DebugLogToggled(bool on);
    // A file dropped on the window: picked as "&Pick ASE file..." would
    // after its dialog.
    void PickFile(const std::string& path);
    // A 3DO file dropped on the window: shown in the preview, or its
    // problem in the memo.
    void OpenThreeDo(const std::string& path);

  signals:
    // The unattended conversion of "-b" has finished; saved tells whether it
    // wrote its file.
    void UnattendedFinished(bool saved);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void SetUpWidgets();
    void SetUpSinks();
    void OpenLogFile();
    void SetDebugLog(bool on);
    void RunUnattended();
    bool ImportFile(const std::string& path);
    void Convert(const ChooseSavePath& chooseSavePath);
    // Runs work on the worker with the window locked against a second start.
    void RunWork(const std::function<void()>& work);
    void SetBusy(bool busy);
    void CloseIfAsked();
    void FlushLog();
    void ShowPreviewData();
    void EnsurePreview();
    void ShowPreview();

    std::unique_ptr<Ui::TForm1> ui_;
    std::unique_ptr<QFileDialog> openDialog_;
    std::unique_ptr<QFileDialog> saveDialog_;
    std::unique_ptr<Prompts> prompts_;

    std::string fileName_;
    std::optional<ImportedScene> imported_;
    ConvertReport lastReport_;
    std::shared_ptr<const PreviewScene> previewScene_;
    std::shared_ptr<const PreviewRun> previewRun_;
    std::unique_ptr<PreviewWindow> preview_;

    LogContext context_;
    // Lent to context_ as its stop flag; cleared when a work starts.
    StopFlag stop_{false};
    // Lent to context_: the window's work and the helpers it starts keep no
    // more threads busy than there are cores. The work holds one throughout.
    ThreadBudget budget_;
    bool debugLog_ = false;
    std::unique_ptr<WindowSinks> sinks_;
    BufferedFileSink logFile_;
    BufferedFileSink console_;

    std::optional<int> startupExit_;
    std::optional<UnattendedJob> unattended_;
    int exitStatus_ = kExitOk;
    bool busy_ = false;
    bool closeWhenIdle_ = false;
};

}  // namespace tarvel::app
