#pragma once

// The main window: two buttons that start the work (pick an .ase file, BSP
// and save as .3do), five counter panels, the memo of the Log, About, Quit
// and Clear Log. The window owns what the last pick produced and the sinks
// of its log; the work itself runs on a worker thread (background_job.h)
// while the window stays painted and refuses a second start.

#include <QFileDialog>
#include <QMainWindow>

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
    // Null until the preview has been opened.
    PreviewWindow* Preview() const { return preview_.get(); }
    LogContext& Log() { return context_; }

  public slots:
    void Button1Click();  // "&Pick ASE file..."
    void Button2Click();  // "&BSP && save as 3DO..."
    void Button3Click();  // "&About..."
    void Button4Click();  // "&Quit"
    void Button5Click();  // "Clear Log"
    void Button6Click();  // "Pre&view..."
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
