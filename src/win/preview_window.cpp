#include "win/preview_window.h"

namespace tarvel::win {

struct PreviewWindow::State {
    HINSTANCE instance = nullptr;
    HWND hwnd = nullptr;
    std::shared_ptr<const window::PreviewScene> scene;
    std::shared_ptr<const window::PreviewRun> run;
    std::shared_ptr<const window::PreviewFile> file;
};

namespace {

constexpr wchar_t kClassName[] = L"TarvelPreview";

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

PreviewWindow::PreviewWindow(HINSTANCE instance) : state_(std::make_unique<State>()) {
    state_->instance = instance;
}

PreviewWindow::~PreviewWindow() {
    if (state_->hwnd)
        DestroyWindow(state_->hwnd);
}

void PreviewWindow::SetScene(std::shared_ptr<const window::PreviewScene> scene) {
    state_->scene = std::move(scene);
    state_->run.reset();
}

void PreviewWindow::SetRun(std::shared_ptr<const window::PreviewRun> run) {
    state_->run = std::move(run);
}

bool PreviewWindow::OpenFile(const std::string& utf8Path) {
    std::string error;
    auto file = window::LoadPreviewFile(utf8Path, error);
    if (!file) {
        if (onFileRejected)
            onFileRejected(error);
        return false;
    }
    state_->file = std::move(file);
    return true;
}

void PreviewWindow::Show(HWND owner) {
    if (!state_->hwnd) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = PreviewProc;
        wc.hInstance = state_->instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        RegisterClassExW(&wc);
        state_->hwnd =
            CreateWindowExW(0, kClassName, L"Preview", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 640, 480, owner, nullptr, state_->instance, nullptr);
    }
    ShowWindow(state_->hwnd, SW_SHOW);
    SetForegroundWindow(state_->hwnd);
}

void PreviewWindow::Hide() {
    if (state_->hwnd)
        ShowWindow(state_->hwnd, SW_HIDE);
}

bool PreviewWindow::IsVisible() const {
    return state_->hwnd && IsWindowVisible(state_->hwnd);
}

HWND PreviewWindow::Handle() const {
    return state_->hwnd;
}

}  // namespace tarvel::win
