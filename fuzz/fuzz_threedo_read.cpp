// Any bytes as a 3DO file: load, consistency check, dump, texture
// collection, the polygons drawn and exported, and a re-write of what was
// read. A file the check calls
// consistent is exactly what the writer produces, so it must re-write to
// the same bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "discarding_log.h"
#include "threedo/file_writer.h"
#include "threedo/obj_export.h"
#include "threedo/record_polygons.h"
#include "threedo/threedo_file.h"

namespace {

// The read recurses once per level and a record takes at least a few bytes,
// so this keeps the deepest tree well within the fuzzer's stack.
constexpr std::size_t kMaxInput = 16384;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace tarvel;
    if (size > kMaxInput) {
        return 0;
    }
    fuzz::DiscardingLog log;
    const std::span<const uint8_t> input(data, size);
    LoadResult loaded = LoadThreeDo(input);
    if (!loaded.ok() || !loaded.file->root) {
        return 0;
    }
    ThreeDoFile& file = *loaded.file;
    const bool consistent = !CheckConsistency(file).has_value();
    file.root->Dump();
    GStringList collected = file.strings;
    file.root->CollectMips(collected);

    // Whatever the file says, every index the polygons hold names a vertex
    // and a texture that are there.
    const RecordMesh mesh = RecordMeshOf(file);
    for (const RecordPolygon& polygon : mesh.polygons) {
        if (polygon.texture >= static_cast<int32_t>(mesh.textures.size()) ||
            polygon.corners.size() < 3) {
            std::abort();
        }
        for (const RecordCorner& corner : polygon.corners) {
            if (corner.vtx < 0 || static_cast<std::size_t>(corner.vtx) >= mesh.points.size()) {
                std::abort();
            }
        }
    }
    MakeObj(mesh, "fuzz.mtl", ObjOptions{});

    const std::optional<std::vector<uint8_t>> again =
        Assemble3DO(*file.root, file.vertices, file.planes, file.strings);
    if (consistent &&
        (!again || !std::equal(again->begin(), again->end(), input.begin(), input.end()))) {
        std::abort();
    }
    return 0;
}
