#pragma once

// A window that belongs to one object: CreateWindowExW carries the object's
// address, the first message stores it with the window and hands the object
// its handle (messages come before CreateWindowExW returns), and the last one
// takes the handle back, so that an object outliving its window, as a
// preview the main window took along does, never uses it again.

#include <windows.h>

namespace tarvel::win {

// The object the window's message is for, or null before WM_NCCREATE and
// from WM_NCDESTROY on, when the message is the system's to answer.
template <typename Owner, HWND Owner::*handle>
Owner* WindowOwner(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* owner =
            static_cast<Owner*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        owner->*handle = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (owner != nullptr && message == WM_NCDESTROY) {
        owner->*handle = nullptr;
        return nullptr;
    }
    return owner;
}

}  // namespace tarvel::win
