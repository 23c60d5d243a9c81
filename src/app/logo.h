#pragma once

#include <QImage>
#include <QPixmap>

namespace tarvel::app {

inline constexpr int kLogoWidth = 189;
inline constexpr int kLogoHeight = 52;

// The banner shown by Image1 in the main window and the About dialog.
QPixmap DrawLogo();

// The program's icon, size pixels square: the banner's partition mark.
QImage DrawIcon(int size);

}  // namespace tarvel::app
