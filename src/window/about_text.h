#pragma once

namespace tarvel::window {

// The About dialog's text as shown (a single ampersand), trailing blank
// included.
inline constexpr const char* kAboutText =
    "Tarvel takes an .ASE file from 3DStudio Max (any version) and converts it to .3DO.  To use, "
    "click the Pick ASE file button, then the BSP&Save as 3DO button.  Please see readme.txt for "
    "more information. ";

}  // namespace tarvel::window
