#include "win/about_dialog.h"

#include "platform/wide_text.h"
#include "win/dpi_scale.h"
#include "window/about_text.h"

namespace tarvel::win {

namespace {

constexpr int kLogoId = 200;
constexpr DWORD kStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// An in-memory dialog with no controls and no title: the controls are made
// at their pixel positions once the dialog knows its monitor's DPI.
struct alignas(4) EmptyTemplate {
    DLGTEMPLATE dialog{kStyle, 0, 0, 0, 0, 0, 0};
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

struct AboutState {
    HINSTANCE instance;
    HFONT font;
    const LogoBitmap* logo;
};

void AddControl(HWND dialog, const AboutState& state, const DpiScale& px, const wchar_t* kind,
                const wchar_t* text, DWORD style, int id, RECT box) {
    HWND control = ::CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, px(box.left),
                                     px(box.top), px(box.right), px(box.bottom), dialog,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     state.instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
}

void CentreOnScreen(HWND dialog, const SIZE& size) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    ::SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - size.cx) / 2,
                   work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy,
                   SWP_NOZORDER);
}

void SetUp(HWND dialog, const AboutState& state) {
    const DpiScale px(WindowDpi(dialog));
    CentreOnScreen(dialog, OuterSize(kStyle, 0, px(408), px(233), px.dpi()));
    // Boxes as left, top, width, height.
    AddControl(dialog, state, px, L"STATIC", L"", SS_ETCHEDFRAME, -1, {8, 8, 393, 217});
    AddControl(dialog, state, px, L"STATIC", L"", SS_OWNERDRAW, kLogoId, {109, 16, 189, 52});
    AddControl(dialog, state, px, L"STATIC", WideFromUtf8(window::kAboutText).c_str(),
               SS_CENTER | SS_NOPREFIX, -1, {28, 88, 351, 52});
    AddControl(dialog, state, px, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK,
               {167, 184, 75, 25});
    ::SetFocus(::GetDlgItem(dialog, IDOK));
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetUp(dialog, *reinterpret_cast<const AboutState*>(lParam));
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            return FALSE;  // the focus is set
        case WM_DRAWITEM: {
            const auto* state =
                reinterpret_cast<const AboutState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (state != nullptr && item->CtlID == kLogoId) {
                state->logo->Draw(item->hDC, item->rcItem);
                return TRUE;
            }
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void ShowAboutDialog(HINSTANCE instance, HWND owner, HFONT font, const LogoBitmap& logo) {
    const EmptyTemplate empty;
    AboutState state{instance, font, &logo};
    ::DialogBoxIndirectParamW(instance, &empty.dialog, owner, AboutProc,
                              reinterpret_cast<LPARAM>(&state));
}

}  // namespace tarvel::win
