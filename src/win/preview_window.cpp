#include "win/preview_window.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <optional>
#include <utility>

#include "platform/wide_text.h"
#include "win/dpi_scale.h"
#include "win/preview_canvas.h"
#include "win/window_owner.h"
#include "window/dropped_file.h"
#include "window/preview_logic.h"

namespace tarvel::win {

namespace {

constexpr wchar_t kWindowClass[] = L"TarvelPreview";

enum ControlId : int {
    kFit = 101,
    kEdges,
    kMode,
    kPrevious,
    kNext,
    kFile,
    kOpen,
    kStatus,
    kNodeStatus,
};

// The row of controls over the canvas, in 96-DPI pixels.
struct ControlPlace {
    ControlId id;
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    int width;
};

constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kRowHeight = 25;
constexpr int kLineHeight = 18;
constexpr int kClientWidth = 800;
constexpr int kClientHeight = 640;

constexpr std::array<ControlPlace, 7> kRow{{
    {kFit, L"BUTTON", L"Fit", BS_PUSHBUTTON, 60},
    {kEdges, L"BUTTON", L"&Edges", BS_AUTOCHECKBOX, 70},
    {kMode, L"BUTTON", L"&BSP view", BS_PUSHBUTTON, 100},
    {kPrevious, L"BUTTON", L"&Previous node", BS_PUSHBUTTON, 110},
    {kNext, L"BUTTON", L"&Next node", BS_PUSHBUTTON, 100},
    {kFile, L"BUTTON", L"&3DO view", BS_PUSHBUTTON, 100},
    {kOpen, L"BUTTON", L"&Open 3DO...", BS_PUSHBUTTON, 110},
}};

}  // namespace

struct PreviewWindow::State {
    HINSTANCE instance = nullptr;
    HWND hwnd = nullptr;
    UINT dpi = 96;
    HFONT font = nullptr;
    std::unique_ptr<PreviewCanvas> canvas;
    window::PreviewLogic logic;

    ~State() {
        canvas.reset();
        if (hwnd) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            DestroyWindow(hwnd);
        }
        if (font) {
            DeleteObject(font);
        }
    }

    int Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi), 96); }
    HWND Control(int id) const { return GetDlgItem(hwnd, id); }

    void Create(HWND ownerWindow);
    void CreateControls();
    void UpdateFont();
    void Layout();
    void Refresh();
    void ShowMesh();
    void UpdateControls();
    void SetText(int id, const std::string& utf8);
    void Fit();
    void Key(WPARAM key);
    bool Mnemonic(WPARAM key);
    void Command(int id);
    void Do(window::PreviewCommand command);
    void ToggleEdges();
    void ChooseFile();
    void Drop(HDROP drop);
    bool Open(const std::string& utf8Path);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

LRESULT CALLBACK PreviewWindow::State::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    State* self = WindowOwner<State, &State::hwnd>(hwnd, message, lParam);
    return self != nullptr ? self->Handle(message, wParam, lParam)
                           : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT PreviewWindow::State::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            ShowWindow(hwnd, SW_HIDE);  // kept, with its camera, for the next Show
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                Command(LOWORD(wParam));
                return 0;
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && canvas) {
                SetFocus(canvas->Handle());
            }
            return 0;
        case WM_KEYDOWN:
            Key(wParam);
            return 0;
        case WM_SYSKEYDOWN:
            if (Mnemonic(wParam)) {
                return 0;
            }
            break;
        case WM_MOUSEWHEEL:
            if (canvas) {
                return SendMessageW(canvas->Handle(), message, wParam, lParam);
            }
            break;
        case WM_DROPFILES:
            Drop(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_DPICHANGED: {
            dpi = HIWORD(wParam);
            UpdateFont();
            const auto* r = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            Layout();
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void PreviewWindow::State::Create(HWND ownerWindow) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(instance, kWindowClass, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &State::Proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClass;
        RegisterClassExW(&wc);
    }
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    CreateWindowExW(WS_EX_ACCEPTFILES, kWindowClass, L"Tarvel preview", style, CW_USEDEFAULT,
                    CW_USEDEFAULT, kClientWidth, kClientHeight, ownerWindow, nullptr, instance,
                    this);
    if (!hwnd) {
        return;
    }
    dpi = static_cast<UINT>(WindowDpi(hwnd));
    const SIZE outer = OuterSize(style, WS_EX_ACCEPTFILES, Scale(kClientWidth),
                                 Scale(kClientHeight), static_cast<int>(dpi));
    SetWindowPos(hwnd, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateControls();
    UpdateFont();
    Layout();
    ShowMesh();
    canvas->Fit();
    UpdateControls();
}

void PreviewWindow::State::CreateControls() {
    for (const ControlPlace& c : kRow) {
        CreateWindowExW(0, c.className, c.caption, WS_CHILD | WS_VISIBLE | c.style, 0, 0, c.width,
                        kRowHeight, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                        instance, nullptr);
    }
    for (int id : {kStatus, kNodeStatus}) {
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 0, 0, 100,
                        kLineHeight, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        instance, nullptr);
    }
    canvas = std::make_unique<PreviewCanvas>(instance, hwnd);
    canvas->onKey = [this](WPARAM key) { Key(key); };
}

void PreviewWindow::State::UpdateFont() {
    LOGFONTW message{};
    if (!MessageFontForDpi(static_cast<int>(dpi), message)) {
        return;
    }
    HFONT next = CreateFontIndirectW(&message);
    if (!next) {
        return;
    }
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(next), TRUE);
    }
    if (font) {
        DeleteObject(font);
    }
    font = next;
}

void PreviewWindow::State::Layout() {
    if (!canvas) {
        return;
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    int x = Scale(kMargin);
    for (const ControlPlace& c : kRow) {
        MoveWindow(Control(c.id), x, Scale(kMargin), Scale(c.width), Scale(kRowHeight), TRUE);
        x += Scale(c.width + kGap);
    }
    const int width = client.right - Scale(2 * kMargin);
    const int top = Scale(kMargin + kRowHeight + kGap);
    const int nodeLine = client.bottom - Scale(kMargin + kLineHeight);
    const int statusLine = nodeLine - Scale(kLineHeight + 2);
    MoveWindow(Control(kStatus), Scale(kMargin), statusLine, width, Scale(kLineHeight), TRUE);
    MoveWindow(Control(kNodeStatus), Scale(kMargin), nodeLine, width, Scale(kLineHeight), TRUE);
    MoveWindow(canvas->Handle(), Scale(kMargin), top, width,
               std::max(1, statusLine - Scale(kGap) - top), TRUE);
}

void PreviewWindow::State::Refresh() {
    ShowMesh();
    UpdateControls();
}

void PreviewWindow::State::ShowMesh() {
    if (!canvas) {
        return;
    }
    canvas->SetMesh(logic.Mesh());
    canvas->Options().quad = logic.Quad();
    canvas->Redraw();
}

void PreviewWindow::State::SetText(int id, const std::string& utf8) {
    SetWindowTextW(Control(id), WideFromUtf8(utf8).c_str());
}

void PreviewWindow::State::UpdateControls() {
    if (!hwnd) {
        return;
    }
    const window::PreviewControls c = logic.Controls();
    EnableWindow(Control(kMode), c.modeEnabled);
    SetText(kMode, c.modeText);
    EnableWindow(Control(kPrevious), c.stepEnabled);
    EnableWindow(Control(kNext), c.stepEnabled);
    EnableWindow(Control(kFile), c.fileEnabled);
    SetText(kFile, c.fileText);
    SetText(kStatus, logic.StatusText());
    SetText(kNodeStatus, logic.NodeText());
}

void PreviewWindow::State::Fit() {
    if (canvas) {
        canvas->Fit();
    }
}

void PreviewWindow::State::ToggleEdges() {
    const bool on = SendMessageW(Control(kEdges), BM_GETCHECK, 0, 0) == BST_CHECKED;
    canvas->Options().edges = on;
    canvas->Redraw();
}

void PreviewWindow::State::Key(WPARAM key) {
    // The keypad's digits are the digits, as Qt reports them.
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
        key = '0' + (key - VK_NUMPAD0);
    }
    const std::optional<window::PreviewKey> action = window::PreviewKeyFor(static_cast<int>(key));
    if (!action || !canvas) {
        return;
    }
    if (logic.Apply(action->command)) {
        Refresh();
    } else if (action->command == window::PreviewCommand::Axis) {
        canvas->ShowAxis(action->axis);
    } else if (action->command == window::PreviewCommand::Fit) {
        canvas->Fit();
    } else {
        const bool on = SendMessageW(Control(kEdges), BM_GETCHECK, 0, 0) == BST_CHECKED;
        SendMessageW(Control(kEdges), BM_SETCHECK, on ? BST_UNCHECKED : BST_CHECKED, 0);
        ToggleEdges();
    }
}

void PreviewWindow::State::Do(window::PreviewCommand command) {
    logic.Apply(command);
    Refresh();
}

// Alt with the underlined letter presses the control, as in the Qt preview.
// The main window's dialog loop does not see this window's messages.
bool PreviewWindow::State::Mnemonic(WPARAM key) {
    for (const ControlPlace& c : kRow) {
        const HWND control = Control(c.id);
        wchar_t caption[64] = L"";
        GetWindowTextW(control, caption, static_cast<int>(std::size(caption)));
        const wchar_t* amp = std::wcschr(caption, L'&');
        // The captions are ASCII, whose letters and digits are their own keys.
        if (amp && amp[1] != L'\0' && static_cast<WPARAM>(std::towupper(amp[1])) == key) {
            if (IsWindowEnabled(control)) {
                SendMessageW(control, BM_CLICK, 0, 0);
            }
            return true;
        }
    }
    return false;
}

void PreviewWindow::State::Command(int id) {
    switch (id) {
        case kFit:
            Fit();
            break;
        case kEdges:
            ToggleEdges();
            break;
        case kMode:
            Do(window::PreviewCommand::Bsp);
            break;
        case kPrevious:
            Do(window::PreviewCommand::PreviousNode);
            break;
        case kNext:
            Do(window::PreviewCommand::NextNode);
            break;
        case kFile:
            Do(window::PreviewCommand::File);
            break;
        case kOpen:
            ChooseFile();
            break;
        default:
            return;
    }
    // The keys belong to the canvas, as in the Qt preview, whose buttons
    // never take the focus.
    if (canvas) {
        SetFocus(canvas->Handle());
    }
}

void PreviewWindow::State::ChooseFile() {
    wchar_t name[MAX_PATH * 4] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd;
    dialog.lpstrFilter = L"3DO object file (*.3do)\0*.3do\0All files (*)\0*\0";
    dialog.lpstrFile = name;
    dialog.nMaxFile = static_cast<DWORD>(std::size(name));
    dialog.lpstrTitle = L"Open 3DO";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (GetOpenFileNameW(&dialog)) {
        Open(Utf8FromWide(name));
    }
}

// One 3DO file, named so or starting with the 3DO magic; a scene file is the
// main window's to take.
void PreviewWindow::State::Drop(HDROP drop) {
    std::wstring name;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        name.resize(DragQueryFileW(drop, 0, nullptr, 0));
        DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size() + 1));
    }
    DragFinish(drop);
    if (name.empty()) {
        return;
    }
    const std::string path = Utf8FromWide(name);
    if (window::ClassifyDroppedFile(path) == window::DroppedFileKind::ThreeDo) {
        Open(path);
    }
}

bool PreviewWindow::State::Open(const std::string& utf8Path) {
    if (!logic.OpenFile(utf8Path)) {
        return false;
    }
    ShowMesh();
    Fit();
    UpdateControls();
    return true;
}

PreviewWindow::PreviewWindow(HINSTANCE instance) : state_(std::make_unique<State>()) {
    state_->instance = instance;
    state_->logic.onFileRejected = [this](const std::string& message) {
        if (onFileRejected) {
            onFileRejected(message);
        }
    };
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::SetScene(std::shared_ptr<const window::PreviewScene> scene) {
    state_->logic.SetScene(std::move(scene));
    state_->ShowMesh();
    state_->Fit();
    state_->UpdateControls();
}

void PreviewWindow::SetRun(std::shared_ptr<const window::PreviewRun> run) {
    state_->logic.SetRun(std::move(run));
    state_->Refresh();
}

bool PreviewWindow::OpenFile(const std::string& utf8Path) {
    return state_->Open(utf8Path);
}

void PreviewWindow::Show(HWND owner) {
    if (!state_->hwnd) {
        state_->canvas.reset();
        state_->Create(owner);
        if (!state_->hwnd) {
            return;
        }
    }
    ShowWindow(state_->hwnd, IsIconic(state_->hwnd) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(state_->hwnd);
}

void PreviewWindow::Hide() {
    if (state_->hwnd) {
        ShowWindow(state_->hwnd, SW_HIDE);
    }
}

bool PreviewWindow::IsVisible() const {
    return state_->hwnd && IsWindowVisible(state_->hwnd);
}

HWND PreviewWindow::Handle() const {
    return state_->hwnd;
}

}  // namespace tarvel::win
