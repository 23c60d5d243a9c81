#pragma once

// The main window: the Win32 view over the window logic
// (window/window_logic.h). It holds the controls, the dialogs and the
// preview, forwards their events to the logic and shows what the logic
// tells it; the work and its rules live there.

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win/dialog_prompts.h"
#include "win/dpi_scale.h"
#include "win/gdi_font.h"
#include "win/logo_bitmap.h"
#include "win/preview_window.h"
#include "window/window_logic.h"
#include "window/window_view.h"

namespace tarvel::win {

// The window class, which the tests look the window up by.
inline constexpr const wchar_t* kMainWindowClass = L"TarvelMainWindow";

class MainWindow final : private window::WindowView {
  public:
    // args as the operating system passes them, in UTF-8.
    MainWindow(HINSTANCE instance, const std::vector<std::string>& args);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    std::optional<int> StartupExitStatus() const { return logic_->StartupExitStatus(); }
    // Shows the window and runs its messages until it has closed; the
    // program's exit status.
    int Run();

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void ApplyDpi(int dpi);
    void Layout();
    void FitLabel(HWND label, const RECT& box) const;
    void Command(int id, int code);
    void Dropped(HDROP drop);
    void OpenThreeDo(const std::string& path);
    void ShowPreview();
    HWND Control(int id) const { return ::GetDlgItem(hwnd_, id); }

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
    void HideWindow() override;
    void CloseWindow() override;
    bool RememberedDebugLog() override;
    void RememberDebugLog(bool on) override;
    void WakeWindowThread() override;

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    DpiScale px_;
    GdiFont font_;
    GdiFont memoFont_;
    LogoBitmap logo_;
    int memoLines_ = 0;
    std::unique_ptr<DialogPrompts> prompts_;
    PreviewWindow preview_;
    // Last: it goes first, while the controls it talks to are still there.
    std::unique_ptr<window::WindowLogic> logic_;
};

}  // namespace tarvel::win
