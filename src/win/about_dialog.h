#pragma once

// The About dialog: the logo, the program's few words and OK, modal to the
// main window and centred on the screen.

#include <windows.h>

#include "win/logo_bitmap.h"

namespace tarvel::win {

void ShowAboutDialog(HINSTANCE instance, HWND owner, HFONT font, const LogoBitmap& logo);

}  // namespace tarvel::win
