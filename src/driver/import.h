#pragma once

#include <optional>
#include <string>

#include "ase/scene.h"
#include "bsp/poly_list.h"

namespace tarvel {

// What one pick leaves behind: the scene, its materials and its polygons.
struct ImportedScene {
    Scene scene;
    Cupboard cupboard;
    PolyList polys;
};

// The start of a pick, before the open dialog: all seven counters to 0,
// UpdateCounters and "Opening ASE". A cancelled pick still leaves them reset.
void BeginPick();

// The import after the open dialog: opens the file (read-only, CR LF read as
// LF), parses it, builds the poly list and sets inputPolys and polysDone.
// Nullopt, with "Error opening file: '%s'" in the memo, when it does not open;
// nullopt, with "Stopped: nothing was saved.", when the log's stop flag is set
// during the parse (looked at every few thousand lines) or right after it.
std::optional<ImportedScene> ImportAse(const std::string& path);

}  // namespace tarvel
