#pragma once

// The layout's pixels are for 96 DPI; on a monitor of another density they
// grow with it. The DPI calls exist from Windows 10 1607 on, so they are
// looked up at run time, and older systems keep 96.

#include <windows.h>

namespace tarvel::win {

inline constexpr int kLayoutDpi = 96;

// The DPI of the monitor the window is on.
int WindowDpi(HWND window);

class DpiScale {
  public:
    explicit DpiScale(int dpi = kLayoutDpi) : dpi_(dpi) {}
    int dpi() const { return dpi_; }
    int operator()(int layoutPixels) const { return ::MulDiv(layoutPixels, dpi_, kLayoutDpi); }

  private:
    int dpi_;
};

// The outer size of a window whose client area is width x height.
SIZE OuterSize(DWORD style, DWORD exStyle, int width, int height, int dpi);

// The system's message font as a monitor of this DPI shows it; false when
// the system does not say.
bool MessageFontForDpi(int dpi, LOGFONTW& font);

}  // namespace tarvel::win
