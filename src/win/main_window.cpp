#include "win/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <array>

#include "platform/wide_text.h"
#include "win/about_dialog.h"
#include "win/main_layout.h"
#include "win/remembered_setting.h"
#include "window/dropped_file.h"

namespace tarvel::win {

namespace {

constexpr UINT kWakeMessage = WM_APP + 1;
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, missing from older headers
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr const wchar_t* kDebugLogValue = L"DebugLog";

constexpr std::array<int, 5> kControlIds = {kPickButton, kBspButton, kStopButton, kDebugLogBox,
                                            kPreviewButton};

void RegisterWindowClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    ::RegisterClassExW(&windowClass);
}

// The memo's lines end in CR LF; a line that holds line breaks of its own
// shows them as such.
std::wstring MemoText(const std::vector<std::string>& lines, bool first) {
    std::wstring text;
    for (const std::string& line : lines) {
        if (!first) {
            text += L"\r\n";
        }
        first = false;
        for (const wchar_t c : WideFromUtf8(line)) {
            if (c == L'\n') {
                text += L'\r';
            }
            text += c;
        }
    }
    return text;
}

std::wstring DroppedPath(HDROP drop, UINT index) {
    const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    ::DragQueryFileW(drop, index, path.data(), length + 1);
    path.resize(length);
    return path;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, const std::vector<std::string>& args)
    : instance_(instance), logo_(instance), preview_(instance) {
    RegisterWindowClass(instance, WindowProc);
    const SIZE outer = OuterSize(kWindowStyle, 0, kClientWidth, kClientHeight, kLayoutDpi);
    ::CreateWindowExW(0, kMainWindowClass, L"Tarvel", kWindowStyle, kWindowLeft, kWindowTop,
                      outer.cx, outer.cy, nullptr, nullptr, instance, this);
    CreateControls();
    ApplyDpi(WindowDpi(hwnd_));
    if (px_.dpi() != kLayoutDpi) {
        const SIZE scaled =
            OuterSize(kWindowStyle, 0, px_(kClientWidth), px_(kClientHeight), px_.dpi());
        ::SetWindowPos(hwnd_, nullptr, 0, 0, scaled.cx, scaled.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::DragAcceptFiles(hwnd_, TRUE);
    prompts_ = std::make_unique<DialogPrompts>(hwnd_);
    preview_.onFileRejected = [this](const std::string& message) { logic_->AddMemoLine(message); };
    logic_ = std::make_unique<window::WindowLogic>(static_cast<window::WindowView&>(*this),
                                                   *prompts_, args);
}

MainWindow::~MainWindow() {
    // The work may still want this window; it is stopped and waited for
    // while the controls are all there.
    logic_.reset();
    if (::IsWindow(hwnd_) != 0) {
        ::DestroyWindow(hwnd_);
    }
}

void MainWindow::CreateControls() {
    for (const ControlSpec& spec : MainControls()) {
        ::CreateWindowExW(spec.exStyle, spec.kind, spec.caption, WS_CHILD | WS_VISIBLE | spec.style,
                          spec.left, spec.top, spec.width, spec.height, hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance_,
                          nullptr);
    }
    ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBar)), instance_,
                      nullptr);
    // The memo keeps its 200 lines of any length.
    ::SendMessageW(Control(kMemo), EM_SETLIMITTEXT, 0, 0);
}

void MainWindow::ApplyDpi(int dpi) {
    px_ = DpiScale(dpi);
    font_ = GdiFont(L"MS Sans Serif", px_(11), DEFAULT_PITCH | FF_SWISS);
    memoFont_ = GdiFont(L"Courier New", px_(12), FIXED_PITCH | FF_MODERN);
    for (const ControlSpec& spec : MainControls()) {
        const HFONT font = spec.id == kMemo ? memoFont_.get() : font_.get();
        ::SendMessageW(Control(spec.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    ::SendMessageW(Control(kStatusBar), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    Layout();
}

void MainWindow::Layout() {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    HWND status = Control(kStatusBar);
    ::SendMessageW(status, WM_SIZE, 0, 0);
    RECT statusBox{};
    ::GetWindowRect(status, &statusBox);
    for (const ControlSpec& spec : MainControls()) {
        const RECT box{px_(spec.left), px_(spec.top), px_(spec.left + spec.width),
                       px_(spec.top + spec.height)};
        if (spec.id == kMemo) {
            const int top = px_(kMemoTop);
            const int bottom = client.bottom - (statusBox.bottom - statusBox.top);
            ::MoveWindow(Control(kMemo), 0, top, client.right, std::max(bottom - top, 0), TRUE);
        } else if (spec.id >= kDepthLabel && spec.id <= kNodesLabel) {
            FitLabel(Control(spec.id), box);
        } else {
            ::MoveWindow(Control(spec.id), box.left, box.top, box.right - box.left,
                         box.bottom - box.top, TRUE);
        }
    }
}

// The label positions were laid out for narrower glyphs than most systems
// have: a caption that does not fit grows away from its panel.
void MainWindow::FitLabel(HWND label, const RECT& box) const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
    HDC dc = ::GetDC(label);
    const HGDIOBJ previous = ::SelectObject(dc, font_.get());
    SIZE needed{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &needed);
    ::SelectObject(dc, previous);
    ::ReleaseDC(label, dc);
    RECT fitted = box;
    const int width = box.right - box.left;
    if (needed.cx > width) {
        const bool centred = (::GetWindowLongW(label, GWL_STYLE) & SS_TYPEMASK) == SS_CENTER;
        fitted.left = centred ? box.left - (needed.cx - width) / 2 : box.right - needed.cx;
        fitted.right = fitted.left + needed.cx;
    }
    ::MoveWindow(label, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, TRUE);
}

int MainWindow::Run() {
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd_);
    logic_->Start();
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab and the buttons' Alt keys, as in a dialog.
        if (::IsDialogMessageW(hwnd_, &message) != 0) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    const int status = static_cast<int>(message.wParam);
    return status != 0 ? status : logic_->ExitStatus();
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            Command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case kWakeMessage:
            if (logic_) {
                logic_->Drain();
            }
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case kDpiChanged: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            ApplyDpi(HIWORD(wParam));
            return 0;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID == kLogoImage) {
                logo_.Draw(item->hDC, item->rcItem);
                return TRUE;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
            // A read-only edit would be grey: the memo stays a white page.
            if (reinterpret_cast<HWND>(lParam) == Control(kMemo)) {
                ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        case WM_DROPFILES:
            Dropped(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_CLOSE:
            if (!logic_ || logic_->CloseRequested()) {
                preview_.Hide();
                ::DestroyWindow(hwnd_);
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void MainWindow::Command(int id, int code) {
    if (code != BN_CLICKED || !logic_) {
        return;
    }
    switch (id) {
        case kPickButton:
            logic_->PickClicked();
            break;
        case kBspButton:
            logic_->BspClicked();
            break;
        case kStopButton:
            logic_->StopClicked();
            break;
        case kAboutButton:
            ShowAboutDialog(instance_, hwnd_, font_.get(), logo_);
            break;
        case kQuitButton:
            ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
            break;
        case kClearLogButton:
            logic_->ClearLogClicked();
            break;
        case kPreviewButton:
            if (logic_->PickPreview()) {
                ShowPreview();
            }
            break;
        case kDebugLogBox:
            logic_->DebugLogToggled(::IsDlgButtonChecked(hwnd_, kDebugLogBox) == BST_CHECKED);
            break;
        default:
            break;
    }
}

// One file at a time, as the Linux window takes them: a 3DO file goes to the
// preview, a scene is picked.
void MainWindow::Dropped(HDROP drop) {
    const bool one = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1;
    const std::string path = one ? Utf8FromWide(DroppedPath(drop, 0)) : std::string();
    ::DragFinish(drop);
    if (!one || !logic_->AcceptsDrops()) {
        return;
    }
    switch (window::ClassifyDroppedFile(path)) {
        case window::DroppedFileKind::ThreeDo:
            OpenThreeDo(path);
            break;
        case window::DroppedFileKind::Scene:
            logic_->PickFile(path);
            break;
        case window::DroppedFileKind::Other:
            break;
    }
}

void MainWindow::OpenThreeDo(const std::string& path) {
    preview_.SetScene(logic_->PickPreview());
    preview_.SetRun(logic_->RunPreview());
    if (preview_.OpenFile(path)) {
        ShowPreview();
    }
}

void MainWindow::ShowPreview() {
    preview_.Show(hwnd_);
}

void MainWindow::SetPanelText(window::Panel panel, const std::string& text) {
    ::SetWindowTextW(Control(kDepthPanel + static_cast<int>(panel)), WideFromUtf8(text).c_str());
}

void MainWindow::AppendMemoLines(const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return;
    }
    HWND memo = Control(kMemo);
    const std::wstring text = MemoText(lines, memoLines_ == 0);
    const LRESULT end = ::GetWindowTextLengthW(memo);
    ::SendMessageW(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
    ::SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(memo, EM_SCROLLCARET, 0, 0);
    memoLines_ += static_cast<int>(lines.size());
}

void MainWindow::DeleteFirstMemoLines(int count) {
    if (count >= memoLines_) {
        ClearMemo();
        return;
    }
    HWND memo = Control(kMemo);
    const LRESULT start = ::SendMessageW(memo, EM_LINEINDEX, static_cast<WPARAM>(count), 0);
    ::SendMessageW(memo, EM_SETSEL, 0, start);
    ::SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    const LRESULT end = ::GetWindowTextLengthW(memo);
    ::SendMessageW(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
    memoLines_ -= count;
}

void MainWindow::ClearMemo() {
    ::SetWindowTextW(Control(kMemo), L"");
    memoLines_ = 0;
}

void MainWindow::SetEnabled(window::Control control, bool enabled) {
    ::EnableWindow(Control(kControlIds[static_cast<std::size_t>(control)]), enabled ? TRUE : FALSE);
}

void MainWindow::SetDebugLogChecked(bool checked) {
    ::CheckDlgButton(hwnd_, kDebugLogBox, checked ? BST_CHECKED : BST_UNCHECKED);
}

void MainWindow::SetStatusText(const std::string& text) {
    ::SendMessageW(Control(kStatusBar), SB_SETTEXTW, 0,
                   reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
}

void MainWindow::ShowPreviewScene(std::shared_ptr<const window::PreviewScene> scene) {
    preview_.SetScene(std::move(scene));
}

void MainWindow::ShowPreviewRun(std::shared_ptr<const window::PreviewRun> run) {
    preview_.SetRun(std::move(run));
}

void MainWindow::OpenThreeDoFile(const std::string& path) {
    OpenThreeDo(path);
}

void MainWindow::HideWindow() {
    preview_.Hide();
    ::ShowWindow(hwnd_, SW_HIDE);
}

void MainWindow::CloseWindow() {
    ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

bool MainWindow::RememberedDebugLog() {
    return RememberedFlag(kDebugLogValue, true);
}

void MainWindow::RememberDebugLog(bool on) {
    RememberFlag(kDebugLogValue, on);
}

void MainWindow::WakeWindowThread() {
    ::PostMessageW(hwnd_, kWakeMessage, 0, 0);
}

}  // namespace tarvel::win
