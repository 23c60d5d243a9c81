#include "win/preview_canvas.h"

#include <windowsx.h>

#include <algorithm>

#include "win/dpi_scale.h"
#include "win/window_owner.h"
#include "window/preview_logic.h"

namespace tarvel::win {

namespace {

constexpr wchar_t kCanvasClass[] = L"TarvelPreviewCanvas";
const render::RenderMesh kEmptyMesh;

void RegisterCanvasClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kCanvasClass, &existing)) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kCanvasClass;
    RegisterClassExW(&wc);
}

}  // namespace

PreviewCanvas::PreviewCanvas(HINSTANCE instance, HWND parent) {
    RegisterCanvasClass(instance, &PreviewCanvas::Proc);
    CreateWindowExW(WS_EX_CLIENTEDGE, kCanvasClass, L"",
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 160, 120, parent,
                    nullptr, instance, this);
}

PreviewCanvas::~PreviewCanvas() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (dib_) {
        DeleteObject(dib_);
    }
}

LRESULT CALLBACK PreviewCanvas::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PreviewCanvas* self = WindowOwner<PreviewCanvas, &PreviewCanvas::hwnd_>(hwnd, message, lParam);
    return self != nullptr ? self->Handle(message, wParam, lParam)
                           : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT PreviewCanvas::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // every pixel is painted by the renderer
        case WM_PAINT:
            Paint();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (onKey) {
                onKey(wParam);
            }
            return 0;
        case WM_SYSKEYDOWN:
            // Alt and a letter are the window's mnemonics.
            return SendMessageW(GetParent(hwnd_), message, wParam, lParam);
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Press(lParam);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
                ReleaseCapture();
            }
            return 0;
        case WM_MOUSEMOVE:
            Drag(wParam, lParam);
            return 0;
        case WM_MOUSEWHEEL:
            window::WheelCamera(camera_, GET_WHEEL_DELTA_WPARAM(wParam));
            Redraw();
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

SIZE PreviewCanvas::ClientSize() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return {std::max<LONG>(r.right - r.left, 1), std::max<LONG>(r.bottom - r.top, 1)};
}

double PreviewCanvas::LogicalScale() const {
    return static_cast<double>(kLayoutDpi) / WindowDpi(hwnd_);
}

void PreviewCanvas::SetMesh(const render::RenderMesh* mesh) {
    mesh_ = mesh;
    Redraw();
}

void PreviewCanvas::Fit() {
    const SIZE size = ClientSize();
    camera_.Fit((mesh_ ? *mesh_ : kEmptyMesh).GetBounds(), size.cx, size.cy);
    Redraw();
}

void PreviewCanvas::ShowAxis(render::ViewAxis axis) {
    const SIZE size = ClientSize();
    camera_.SetView(axis, (mesh_ ? *mesh_ : kEmptyMesh).GetBounds(), size.cx, size.cy);
    Redraw();
}

void PreviewCanvas::Redraw() {
    if (hwnd_) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void PreviewCanvas::Press(LPARAM lParam) {
    lastMouse_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    SetFocus(hwnd_);
    SetCapture(hwnd_);
}

// The camera moves by 96-DPI pixels, as in the Qt preview, so a drag turns
// the scene as far on every monitor.
void PreviewCanvas::Drag(WPARAM wParam, LPARAM lParam) {
    const POINT now{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const double scale = LogicalScale();
    const double dx = (now.x - lastMouse_.x) * scale, dy = (now.y - lastMouse_.y) * scale;
    lastMouse_ = now;
    const window::PreviewButtons buttons{(wParam & MK_LBUTTON) != 0, (wParam & MK_RBUTTON) != 0,
                                         (wParam & MK_MBUTTON) != 0};
    const int height = std::max(1, static_cast<int>(ClientSize().cy * scale + 0.5));
    if (window::DragCamera(camera_, buttons, dx, dy, height)) {
        Redraw();
    }
}

// The renderer's pixels are R, G, B, A in memory; a 32-bit DIB's are B, G,
// R, unused.
void PreviewCanvas::CopyToDib() {
    if (!dib_ || dibWidth_ != frame_.width || dibHeight_ != frame_.height) {
        if (dib_) {
            DeleteObject(dib_);
            dib_ = nullptr;
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = frame_.width;
        info.bmiHeader.biHeight = -frame_.height;  // top row first, as the renderer's
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dib_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &dibBits_, nullptr, 0);
        if (!dib_) {
            dibBits_ = nullptr;
            return;
        }
        dibWidth_ = frame_.width;
        dibHeight_ = frame_.height;
    }
    auto* out = static_cast<uint32_t*>(dibBits_);
    for (const render::Rgba c : frame_.colour) {
        *out++ = (c & 0xff00ff00u) | ((c & 0xffu) << 16) | ((c >> 16) & 0xffu);
    }
}

void PreviewCanvas::Paint() {
    const SIZE size = ClientSize();
    frame_.Resize(size.cx, size.cy);
    renderer_.Draw(mesh_ ? *mesh_ : kEmptyMesh, camera_, options_, frame_);
    CopyToDib();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (dib_) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, dib_);
        BitBlt(dc, 0, 0, dibWidth_, dibHeight_, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(hwnd_, &ps);
}

}  // namespace tarvel::win
