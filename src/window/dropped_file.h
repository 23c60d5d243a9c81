#pragma once

// What a file dropped on a window (or named on its command line) is taken
// for, whatever toolkit delivered it.

#include <string>

namespace tarvel::window {

enum class DroppedFileKind { Other, Scene, ThreeDo };

// A 3DO file is one named .3do (even when damaged, so that it is reported
// instead of parsed as a scene) or one starting with the 3DO magic; a scene
// is any other file with an extension the importer reads.
DroppedFileKind ClassifyDroppedFile(const std::string& path);

}  // namespace tarvel::window
