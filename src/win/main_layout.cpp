#include "win/main_layout.h"

namespace tarvel::win {

namespace {

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kLabel = SS_NOPREFIX;
constexpr DWORD kPanel = SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX;

constexpr ControlSpec kControls[] = {
    {kLogoImage, L"STATIC", SS_OWNERDRAW, 0, 616, 8, 189, 52, L""},
    {kPickButton, L"BUTTON", kButton, 0, 40, 32, 137, 25, L"&Pick ASE file..."},
    {kBspButton, L"BUTTON", kButton, 0, 40, 72, 137, 25, L"&BSP && save as 3DO..."},
    {kStopButton, L"BUTTON", kButton | WS_DISABLED, 0, 40, 112, 137, 25, L"&Stop"},
    {kAboutButton, L"BUTTON", kButton, 0, 624, 72, 81, 25, L"&About..."},
    {kQuitButton, L"BUTTON", kButton, 0, 720, 72, 73, 25, L"&Quit"},
    {kClearLogButton, L"BUTTON", kButton, 0, 720, 104, 73, 25, L"Clear Log"},
    {kPreviewButton, L"BUTTON", kButton | WS_DISABLED, 0, 720, 136, 73, 25, L"Pre&view..."},
    {kDebugLogBox, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 720, 168, 97, 17, L"&Debug log"},
    {kDepthLabel, L"STATIC", kLabel | SS_CENTER, 0, 312, 32, 72, 13, L"Current depth:"},
    {kPolysLabel, L"STATIC", kLabel | SS_RIGHT, 0, 275, 64, 109, 13, L"Polys done/input polys:"},
    {kSplitsLabel, L"STATIC", kLabel | SS_RIGHT, 0, 246, 96, 138, 13,
     L"Number of split polys created:"},
    {kListSizeLabel, L"STATIC", kLabel | SS_RIGHT, 0, 288, 128, 96, 13, L"Current PolyList size:"},
    {kNodesLabel, L"STATIC", kLabel | SS_RIGHT, 0, 277, 160, 107, 13, L"Number of BSP nodes:"},
    {kDepthPanel, L"STATIC", kPanel, WS_EX_STATICEDGE, 392, 24, 185, 25, L"0"},
    {kPolysPanel, L"STATIC", kPanel, WS_EX_STATICEDGE, 392, 56, 185, 25, L"0"},
    {kSplitsPanel, L"STATIC", kPanel, WS_EX_STATICEDGE, 392, 88, 185, 25, L"0"},
    {kListSizePanel, L"STATIC", kPanel, WS_EX_STATICEDGE, 392, 120, 185, 25, L"0"},
    {kNodesPanel, L"STATIC", kPanel, WS_EX_STATICEDGE, 392, 152, 185, 25, L"0"},
    {kMemo, L"EDIT",
     ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL |
         WS_TABSTOP,
     WS_EX_CLIENTEDGE, 0, kMemoTop, kClientWidth, 235, L""},
};

}  // namespace

std::span<const ControlSpec> MainControls() {
    return kControls;
}

}  // namespace tarvel::win
