#include "win/dialog_prompts.h"

#include <commdlg.h>

#include <vector>

#include "platform/wide_text.h"
#include "window/scene_filters.h"

namespace tarvel::win {

namespace {

// "name\0pattern;pattern\0...\0": the filter syntax of the common dialogs.
std::wstring FilterText(const std::vector<window::FileFilter>& filters) {
    std::wstring text;
    for (const window::FileFilter& filter : filters) {
        text += WideFromUtf8(filter.name);
        text += L'\0';
        for (std::size_t i = 0; i < filter.patterns.size(); ++i) {
            text += (i > 0 ? L";" : L"") + WideFromUtf8(filter.patterns[i]);
        }
        text += L'\0';
    }
    return text;  // the string's own terminator ends the list
}

std::optional<std::string> RunFileDialog(HWND owner, const std::vector<window::FileFilter>& filters,
                                         DWORD flags, bool save) {
    const std::wstring filter = FilterText(filters);
    std::vector<wchar_t> name(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    // The log file lives in the current directory: a dialog must not move it.
    dialog.Flags = flags | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    const BOOL chosen = save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (chosen == 0) {
        return std::nullopt;
    }
    return Utf8FromWide(name.data());
}

}  // namespace

std::optional<std::string> DialogPrompts::ChooseAseFile() {
    return RunFileDialog(owner_, window::OpenDialogFilters(), OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST,
                         false);
}

// No default extension: a name typed without one is saved as typed.
std::optional<std::string> DialogPrompts::Choose3doFile() {
    return RunFileDialog(owner_, window::SaveDialogFilters(), OFN_OVERWRITEPROMPT, true);
}

void DialogPrompts::ShowMessage(const std::string& text) {
    ::MessageBoxW(owner_, WideFromUtf8(text).c_str(), L"Tarvel", MB_OK | MB_ICONINFORMATION);
}

}  // namespace tarvel::win
