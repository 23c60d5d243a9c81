#include "driver/import.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "ase/ase_parser.h"
#include "ase/ase_reader.h"
#include "import/scene_formats.h"
#include "import/scene_wire.h"
#include "log/log.h"
#include "platform/utf8_path.h"

namespace tarvel {

namespace {

// The end of every import, whatever read the scene.
void BuildPolys(ImportedScene& imported) {
    LogMemo("Adding scene to polylist");
    BuildFromScene(imported.polys, imported.scene);
    ThrowIfStopped();
    Counters& counters = ProgressCounters();
    counters.inputPolys = imported.polys.Count();
    counters.polysDone = 0;
    UpdateCounters();
}

// ASE is z-up: only an explicit up axis or scale moves its vertices.
void PlaceAse(Scene& scene, const import::Placement& placement) {
    const import::UpAxis up = placement.up.value_or(import::UpAxis::Z);
    for (GeomObject& geom : scene.geoms) {
        for (Vertex& v : geom.vertices) {
            const std::array<float, 3> p = import::Placed({v.x, v.y, v.z}, up, placement.scale);
            v.x = p[0];
            v.y = p[1];
            v.z = p[2];
        }
    }
}

std::optional<ImportedScene> ImportAseWith(const std::string& path,
                                           const import::Placement& placement) {
    // Read-only: the import must never be able to change the file it reads.
    std::optional<AseReader> reader = AseReader::Load(path);
    if (!reader) {
        LogMemoF("Error opening file: '%s'", path.c_str());
        return std::nullopt;
    }
    ImportedScene imported;
    ParseAse(*reader, imported.scene, imported.cupboard);
    ThrowIfStopped();
    if (placement.up || placement.scale != 1.0) {
        PlaceAse(imported.scene, placement);
    }
    BuildPolys(imported);
    return imported;
}

// A stopped import leaves nothing behind; the counters keep what the parse
// had reached.
template <typename Import>
std::optional<ImportedScene> EndingAtAStop(Import&& import) {
    try {
        return import();
    } catch (const CompileStopped&) {
        UpdateCounters();
        LogMemo(kStoppedLine);
        return std::nullopt;
    }
}

uint64_t FileBytes(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(PathFromUtf8(path), error);
    return error ? 0 : static_cast<uint64_t>(size);
}

bool Readable(const std::string& path) {
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

std::optional<ImportedScene> CouldNotRead(const std::string& path, const std::string& what) {
    LogMemoF("Could not read scene '%s': %s", path.c_str(), what.c_str());
    return std::nullopt;
}

std::optional<ImportedScene> ImportThroughHelper(const std::string& path,
                                                 const ImportOptions& options) {
    LogMemoF("Opening %s '%s'", import::FormatName(path).c_str(), path.c_str());
    if (!Readable(path)) {
        LogMemoF("Error opening file: '%s'", path.c_str());
        return std::nullopt;
    }
    const std::string helper = options.helper.empty() ? import::FindHelper() : options.helper;
    import::HelperRun run = import::RunHelper(helper, path, FileBytes(path), options.limits);
    ThrowIfStopped();
    if (!run.trouble.empty()) {
        return CouldNotRead(path, run.trouble);
    }
    if (!run.exitedCleanly && run.output.empty()) {
        return CouldNotRead(path, "the importer stopped without a scene (exit status " +
                                      std::to_string(run.exitStatus) + ")");
    }
    import::DecodedOutput decoded = import::DecodeOutput(run.output);
    if (decoded.failure) {
        return CouldNotRead(path, *decoded.failure);
    }
    if (!decoded.scene || !run.exitedCleanly) {
        return CouldNotRead(path, "the importer's output is malformed (" + decoded.malformed + ")");
    }
    import::PlaceScene(*decoded.scene, options.placement);
    ImportedScene imported;
    import::FillSceneModel(*decoded.scene, imported.scene, imported.cupboard);
    decoded.scene.reset();
    LogMemo("Compiling geoms into scene");
    imported.scene.Compile();
    imported.cupboard.Dump();
    BuildPolys(imported);
    return imported;
}

}  // namespace

void BeginPick() {
    ProgressCounters().Reset();
    UpdateCounters();
    LogMemo("Opening ASE");
}

void BeginPick(const std::string& path) {
    if (import::IsAseScene(path)) {
        BeginPick();
        return;
    }
    // ImportScene names the format once it starts.
    ProgressCounters().Reset();
    UpdateCounters();
}

std::optional<ImportedScene> ImportAse(const std::string& path) {
    return EndingAtAStop([&] { return ImportAseWith(path, import::Placement{}); });
}

std::optional<ImportedScene> ImportScene(const std::string& path, const ImportOptions& options) {
    return EndingAtAStop([&] {
        return import::IsAseScene(path) ? ImportAseWith(path, options.placement)
                                        : ImportThroughHelper(path, options);
    });
}

}  // namespace tarvel
