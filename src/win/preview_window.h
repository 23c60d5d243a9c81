#pragma once

// The preview on Windows: a top-level window owned by the main window that
// draws the scene, the BSP tree or a 3DO file with the software renderer.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "window/preview_data.h"

namespace tarvel::win {

class PreviewWindow {
  public:
    explicit PreviewWindow(HINSTANCE instance);
    ~PreviewWindow();
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    void SetScene(std::shared_ptr<const window::PreviewScene>
                      scene);  // a new pick: scene view, framed, run dropped
    void SetRun(std::shared_ptr<const window::PreviewRun>
                    run);                        // a run; a saved file is offered in the 3DO view
    bool OpenFile(const std::string& utf8Path);  // false: the message went to onFileRejected
    void Show(HWND owner);                       // creates on first use, raises
    void Hide();
    bool IsVisible() const;
    HWND Handle() const;

    std::function<void(const std::string& message)> onFileRejected;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tarvel::win
