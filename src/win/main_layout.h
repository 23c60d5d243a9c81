#pragma once

// The main window's controls: their ids, kinds, captions and places at
// 96 DPI. The memo and the status bar fill the rest of the client area.

#include <windows.h>

#include <span>

namespace tarvel::win {

enum ControlId : int {
    kPickButton = 101,  // "&Pick ASE file..."
    kBspButton,
    kStopButton,
    kAboutButton,
    kQuitButton,
    kClearLogButton,
    kPreviewButton,
    kDebugLogBox,
    kLogoImage,
    kDepthLabel,
    kPolysLabel,
    kSplitsLabel,
    kListSizeLabel,
    kNodesLabel,
    kDepthPanel,  // the five panels in the order of window::Panel
    kPolysPanel,
    kSplitsPanel,
    kListSizePanel,
    kNodesPanel,
    kMemo,
    kStatusBar,
};

inline constexpr int kClientWidth = 825;
inline constexpr int kClientHeight = 446;
inline constexpr int kWindowLeft = 132;
inline constexpr int kWindowTop = 117;
inline constexpr int kMemoTop = 192;

struct ControlSpec {
    ControlId id;
    const wchar_t* kind;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;
    const wchar_t* caption;
};

std::span<const ControlSpec> MainControls();

}  // namespace tarvel::win
