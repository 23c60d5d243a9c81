#pragma once

// The preview's drawing surface: a child window that renders the current
// mesh with the software renderer into a DIB section at its own size and
// turns mouse moves into camera moves (left orbits, right or middle pans,
// the wheel zooms). Keys pressed on it go to onKey.

#include <windows.h>

#include <functional>

#include "render/renderer.h"

namespace tarvel::win {

class PreviewCanvas {
  public:
    PreviewCanvas(HINSTANCE instance, HWND parent);
    ~PreviewCanvas();
    PreviewCanvas(const PreviewCanvas&) = delete;
    PreviewCanvas& operator=(const PreviewCanvas&) = delete;

    HWND Handle() const { return hwnd_; }
    // Borrowed; null draws the background only.
    void SetMesh(const render::RenderMesh* mesh);
    render::RenderOptions& Options() { return options_; }
    // Frames the whole mesh from the current direction, or along an axis.
    void Fit();
    void ShowAxis(render::ViewAxis axis);
    void Redraw();

    std::function<void(WPARAM virtualKey)> onKey;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void CopyToDib();
    void Press(LPARAM lParam);
    void Drag(WPARAM wParam, LPARAM lParam);
    SIZE ClientSize() const;
    double LogicalScale() const;  // 96-DPI pixels per device pixel

    HWND hwnd_ = nullptr;
    HBITMAP dib_ = nullptr;
    void* dibBits_ = nullptr;
    int dibWidth_ = 0;
    int dibHeight_ = 0;
    const render::RenderMesh* mesh_ = nullptr;
    render::Camera camera_;
    render::RenderOptions options_;
    render::Renderer renderer_;
    render::FrameBuffer frame_;
    POINT lastMouse_{};
};

}  // namespace tarvel::win
