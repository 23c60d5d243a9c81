#pragma once

// Everything the window asks of the person in front of it. The window only
// talks to this interface, so tests drive it without a person.

#include <optional>
#include <string>

class QFileDialog;
class QWidget;

namespace tarvel::app {

class Prompts {
  public:
    virtual ~Prompts() = default;
    // The .ase file to pick; nullopt when cancelled.
    virtual std::optional<std::string> ChooseAseFile() = 0;
    // The .3do file to save; nullopt when cancelled.
    virtual std::optional<std::string> Choose3doFile() = 0;
    // A plain information box with one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
};

// The window's own file dialogs and message box.
class DialogPrompts final : public Prompts {
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
