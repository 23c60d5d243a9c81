#pragma once

// A GDI font owned by value.

#include <windows.h>

#include <utility>

namespace tarvel::win {

class GdiFont {
  public:
    GdiFont() = default;
    // pixels is the glyphs' height (the em), as a layout gives it.
    GdiFont(const wchar_t* face, int pixels, DWORD pitchAndFamily)
        : font_(::CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              pitchAndFamily, face)) {}
    ~GdiFont() { Release(); }
    GdiFont(GdiFont&& other) noexcept : font_(std::exchange(other.font_, nullptr)) {}
    GdiFont& operator=(GdiFont&& other) noexcept {
        if (this != &other) {
            Release();
            font_ = std::exchange(other.font_, nullptr);
        }
        return *this;
    }
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;

    HFONT get() const { return font_; }

  private:
    void Release() {
        if (font_ != nullptr) {
            ::DeleteObject(font_);
            font_ = nullptr;
        }
    }

    HFONT font_ = nullptr;
};

}  // namespace tarvel::win
