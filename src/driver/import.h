#pragma once

#include <optional>
#include <string>

#include "ase/scene.h"
#include "bsp/poly_list.h"
#include "import/helper_process.h"
#include "import/scene_placement.h"

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
// The same for a file already chosen: "Opening ASE" only for ASE text, since
// ImportScene names any other format itself.
void BeginPick(const std::string& path);

// The import after the open dialog: opens the file (read-only, CR LF read as
// LF), parses it, builds the poly list and sets inputPolys and polysDone.
// Nullopt, with "Error opening file: '%s'" in the memo, when it does not open;
// nullopt, with "Stopped: nothing was saved.", when the log's stop flag is set
// during the parse (looked at every few thousand lines) or right after it.
std::optional<ImportedScene> ImportAse(const std::string& path);

struct ImportOptions {
    // The up axis and scale to set the scene into the z-up 3DO world.
    // Without them an ASE scene stays as it is and another format is turned
    // z-up when it is y-up by convention or by what it says.
    import::Placement placement;
    // The helper program; empty: the one import::FindHelper finds.
    std::string helper;
    import::HelperLimits limits;
};

// Any scene file after the open dialog: ASE text through ImportAse, every
// other format through the helper process, into the same scene model with
// the same memo summary. Nullopt, with "Error opening file: '%s'" or "Could
// not read scene '%s': ..." in the memo, when there is no scene to keep.
std::optional<ImportedScene> ImportScene(const std::string& path,
                                         const ImportOptions& options = {});

}  // namespace tarvel
