#pragma once

// The window's own file dialogs and message box, as the window logic asks
// for them.

#include <optional>
#include <string>

#include "window/prompts.h"

class QFileDialog;
class QWidget;

namespace tarvel::app {

class DialogPrompts final : public window::Prompts {
  public:
    DialogPrompts(QWidget& parent, QFileDialog& openDialog, QFileDialog& saveDialog)
        : parent_(parent), openDialog_(openDialog), saveDialog_(saveDialog) {}

    std::optional<std::string> ChooseAseFile() override;
    std::optional<std::string> Choose3doFile() override;
    void ShowMessage(const std::string& text) override;

  private:
    QWidget& parent_;
    QFileDialog& openDialog_;
    QFileDialog& saveDialog_;
};

// Gives OpenDialog1 and SaveDialog1 their filters and options.
void ConfigureOpenDialog(QFileDialog& dialog);
void ConfigureSaveDialog(QFileDialog& dialog);

}  // namespace tarvel::app
