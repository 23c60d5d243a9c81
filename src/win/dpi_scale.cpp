#include "win/dpi_scale.h"

namespace tarvel::win {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

template <typename Fn>
Fn User32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

}  // namespace

int WindowDpi(HWND window) {
    static const auto getDpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = getDpi != nullptr && window != nullptr ? getDpi(window) : 0;
    return dpi != 0 ? static_cast<int>(dpi) : kLayoutDpi;
}

SIZE OuterSize(DWORD style, DWORD exStyle, int width, int height, int dpi) {
    static const auto adjust = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT box{0, 0, width, height};
    if (adjust == nullptr || adjust(&box, style, FALSE, exStyle, static_cast<UINT>(dpi)) == 0) {
        ::AdjustWindowRectEx(&box, style, FALSE, exStyle);
    }
    return SIZE{box.right - box.left, box.bottom - box.top};
}

bool MessageFontForDpi(int dpi, LOGFONTW& font) {
    static const auto forDpi =
        User32Function<SystemParametersForDpiFn>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const bool found =
        forDpi != nullptr
            ? forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                     static_cast<UINT>(dpi)) != 0
            : ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != 0;
    if (found) {
        font = metrics.lfMessageFont;
    }
    return found;
}

}  // namespace tarvel::win
