#pragma once

// The prompts of the window logic as the common file dialogs and message
// boxes of Windows, all modal to the main window.

#include <windows.h>

#include "window/prompts.h"

namespace tarvel::win {

class DialogPrompts final : public window::Prompts {
  public:
    explicit DialogPrompts(HWND owner) : owner_(owner) {}

    std::optional<std::string> ChooseAseFile() override;
    std::optional<std::string> Choose3doFile() override;
    void ShowMessage(const std::string& text) override;

  private:
    HWND owner_;
};

}  // namespace tarvel::win
