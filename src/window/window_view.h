#pragma once

// What the window logic asks of a window: plain controls it can set, and a
// way to be called back on the window's own thread. A toolkit's window
// implements this and forwards its events to WindowLogic; it holds nothing
// else. Every call but WakeWindowThread comes on the window's thread.

#include <memory>
#include <string>
#include <vector>

#include "window/preview_data.h"

namespace tarvel::window {

// The five counter panels, in the order of PanelTexts.
enum class Panel { Depth, Polys, Splits, ListSize, Nodes };
inline constexpr int kPanelCount = 5;

// The controls whose state follows the work.
enum class Control { Pick, Bsp, Stop, DebugLog, Preview };

class WindowView {
  public:
    virtual ~WindowView() = default;

    virtual void SetPanelText(Panel panel, const std::string& text) = 0;
    // Appends each line as a new last line of the memo.
    virtual void AppendMemoLines(const std::vector<std::string>& lines) = 0;
    // Never more lines than the memo holds.
    virtual void DeleteFirstMemoLines(int count) = 0;
    virtual void ClearMemo() = 0;
    virtual void SetEnabled(Control control, bool enabled) = 0;
    // Shows the check box's state without reporting it back as a toggle.
    virtual void SetDebugLogChecked(bool checked) = 0;
    virtual void SetStatusText(const std::string& text) = 0;

    // A new pick (the run before it is gone), and a finished BSP run.
    virtual void ShowPreviewScene(std::shared_ptr<const PreviewScene> scene) = 0;
    virtual void ShowPreviewRun(std::shared_ptr<const PreviewRun> run) = 0;
    // A 3DO file named on the command line: shown in the preview, or its
    // problem in the memo.
    virtual void OpenThreeDoFile(const std::string& path) = 0;

    // Quit while work runs: the window and its preview go out of sight at
    // once, and CloseWindow follows when the work has ended.
    virtual void HideWindow() = 0;
    // Closes the window as Quit does, which ends the program, even when it
    // is hidden; the close asks WindowLogic::CloseRequested first.
    virtual void CloseWindow() = 0;
    // The unattended run of "-b" has ended; saved tells whether it wrote.
    virtual void UnattendedRunEnded(bool saved) { (void)saved; }

    // The "Debug log" check box as the last run left it; true at first start.
    virtual bool RememberedDebugLog() = 0;
    virtual void RememberDebugLog(bool on) = 0;

    // Any thread: have the window's thread call WindowLogic::Drain soon (a
    // queued call, a posted message). Never calls Drain itself.
    virtual void WakeWindowThread() = 0;
};

}  // namespace tarvel::window
