#pragma once

// The banner of the main window and the About dialog: the PNG drawn by the
// Qt side's logo code (tarvel-icon writes it), kept in the program's
// resources and decoded once into a DIB.

#include <windows.h>

namespace tarvel::win {

class LogoBitmap {
  public:
    LogoBitmap() = default;
    explicit LogoBitmap(HINSTANCE instance);
    ~LogoBitmap();
    LogoBitmap(const LogoBitmap&) = delete;
    LogoBitmap& operator=(const LogoBitmap&) = delete;

    // Stretched to fill box; nothing when the resource did not decode.
    void Draw(HDC dc, const RECT& box) const;

  private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace tarvel::win
