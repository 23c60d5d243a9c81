#include "win/logo_bitmap.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace tarvel::win {

namespace {

// The resource's bytes, which live as long as the module.
bool FindLogoPng(HINSTANCE instance, const void*& bytes, DWORD& size) {
    HRSRC found = ::FindResourceW(instance, L"LOGO", MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found != nullptr ? ::LoadResource(instance, found) : nullptr;
    bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    size = found != nullptr ? ::SizeofResource(instance, found) : 0;
    return bytes != nullptr && size > 0;
}

}  // namespace

LogoBitmap::LogoBitmap(HINSTANCE instance) {
    const void* bytes = nullptr;
    DWORD size = 0;
    if (!FindLogoPng(instance, bytes, size)) {
        return;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes, size) == 0) {
        return;
    }
    image.format = PNG_FORMAT_BGRA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(image.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(image.height);  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ == nullptr) {
        return;
    }
    std::memcpy(bits, pixels.data(), pixels.size());
    width_ = static_cast<int>(image.width);
    height_ = static_cast<int>(image.height);
}

LogoBitmap::~LogoBitmap() {
    if (bitmap_ != nullptr) {
        ::DeleteObject(bitmap_);
    }
}

void LogoBitmap::Draw(HDC dc, const RECT& box) const {
    if (bitmap_ == nullptr) {
        return;
    }
    HDC source = ::CreateCompatibleDC(dc);
    const HGDIOBJ previous = ::SelectObject(source, bitmap_);
    ::SetStretchBltMode(dc, HALFTONE);
    ::StretchBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0, 0,
                 width_, height_, SRCCOPY);
    ::SelectObject(source, previous);
    ::DeleteDC(source);
}

}  // namespace tarvel::win
