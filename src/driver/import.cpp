#include "driver/import.h"

#include "ase/ase_parser.h"
#include "ase/ase_reader.h"
#include "log/log.h"

namespace tarvel {

void BeginPick() {
    ProgressCounters().Reset();
    UpdateCounters();
    LogMemo("Opening ASE");
}

std::optional<ImportedScene> ImportAse(const std::string& path) {
    // Read-only: the import must never be able to change the file it reads.
    std::optional<AseReader> reader = AseReader::Load(path);
    if (!reader) {
        LogMemoF("Error opening file: '%s'", path.c_str());
        return std::nullopt;
    }
    ImportedScene imported;
    try {
        ParseAse(*reader, imported.scene, imported.cupboard);
        ThrowIfStopped();
        LogMemo("Adding scene to polylist");
        BuildFromScene(imported.polys, imported.scene);
        ThrowIfStopped();
    } catch (const CompileStopped&) {
        // The counters keep what the parse had reached.
        UpdateCounters();
        LogMemo(kStoppedLine);
        return std::nullopt;
    }
    Counters& counters = ProgressCounters();
    counters.inputPolys = imported.polys.Count();
    counters.polysDone = 0;
    UpdateCounters();
    return imported;
}

}  // namespace tarvel
