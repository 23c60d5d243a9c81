#pragma once

// The main window: the Qt view over the window logic (window/window_logic.h).
// It holds the widgets, the dialogs and the preview, forwards their events
// to the logic and shows what the logic tells it; the work and its rules
// live there.

#include <QFileDialog>
#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/window_logic.h"
#include "window/window_view.h"

class QLabel;

namespace Ui {
class TForm1;
}

namespace tarvel::app {

class PreviewWindow;

// Where the window keeps what it remembers between runs (QSettings).
inline constexpr const char* kSettingsOrganization = "Tarvel";
inline constexpr const char* kSettingsApplication = "tarvel";
inline constexpr const char* kDebugLogSetting = "debugLog";

class TForm1 final : public QMainWindow, private window::WindowView {
    Q_OBJECT

  public:
    // args as the operating system passes them; prompts null means the
    // window's own dialogs.
    explicit TForm1(std::vector<std::string> args,
                    std::unique_ptr<window::Prompts> prompts = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    std::optional<int> StartupExitStatus() const { return logic_->StartupExitStatus(); }
    int ExitStatus() const { return logic_->ExitStatus(); }
    const std::string& FileName() const { return logic_->FileName(); }
    const ImportedScene* Imported() const { return logic_->Imported(); }
    const ConvertReport& LastReport() const { return logic_->LastReport(); }
    // A pick or a build runs; the clicks that start one return at once.
    bool Busy() const { return logic_->Busy(); }
    bool DebugLogOn() const { return logic_->DebugLogOn(); }
    // Null until the preview has been opened.
    PreviewWindow* Preview() const { return preview_.get(); }
    LogContext& Log() { return logic_->Log(); }

  public slots:
    void Button1Click();     // "&Pick ASE file..."
    void Button2Click();     // "&BSP && save as 3DO..."
    void Button3Click();     // "&About..."
    void Button4Click();     // "&Quit"
    void Button5Click();     // "Clear Log"
    void Button6Click();     // "Pre&view..."
    void ButtonStopClick();  // "&Stop"
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
    // window::WindowView
    void SetPanelText(window::Panel panel, const std::string& text) override;
    void AppendMemoLines(const std::vector<std::string>& lines) override;
    void DeleteFirstMemoLines(int count) override;
    void ClearMemo() override;
    void SetEnabled(window::Control control, bool enabled) override;
    void SetDebugLogChecked(bool checked) override;
    void SetStatusText(const std::string& text) override;
    void ShowPreviewScene(std::shared_ptr<const window::PreviewScene> scene) override;
    void ShowPreviewRun(std::shared_ptr<const window::PreviewRun> run) override;
    void OpenThreeDoFile(const std::string& path) override;
    void UnattendedRunEnded(bool saved) override;
    void HideWindow() override;
    void CloseWindow() override;
    bool RememberedDebugLog() override;
    void RememberDebugLog(bool on) override;
    void WakeWindowThread() override;

    void SetUpWidgets();
    void ShowPreviewData();
    void EnsurePreview();
    void ShowPreview();

    std::unique_ptr<Ui::TForm1> ui_;
    std::array<QLabel*, window::kPanelCount> panels_{};
    std::unique_ptr<QFileDialog> openDialog_;
    std::unique_ptr<QFileDialog> saveDialog_;
    std::unique_ptr<window::Prompts> prompts_;
    std::unique_ptr<PreviewWindow> preview_;
    // Last: it goes first, while the widgets it talks to are still there.
    std::unique_ptr<window::WindowLogic> logic_;
};

}  // namespace tarvel::app
