#pragma once

// Everything the window asks of the person in front of it. The window logic
// only talks to this interface, so tests drive it without a person, and
// each toolkit answers it with its own dialogs.

#include <optional>
#include <string>

namespace tarvel::window {

class Prompts {
  public:
    virtual ~Prompts() = default;
    // The .ase file to pick; nullopt when cancelled.
    virtual std::optional<std::string> ChooseAseFile() = 0;
    // The .3do file to save; nullopt when cancelled.
    virtual std::optional<std::string> Choose3doFile() = 0;
    // A plain information box with one OK button, modal to the window.
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace tarvel::window
