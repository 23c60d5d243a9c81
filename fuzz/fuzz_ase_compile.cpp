// ASE text through the whole compile: parse, poly list, BSP build,
// conversion and the file's bytes in memory. Whatever the compiler writes
// must load back and pass the consistency check.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ase/ase_parser.h"
#include "ase/ase_reader.h"
#include "bsp/bsp_node.h"
#include "bsp/poly_list.h"
#include "discarding_log.h"
#include "driver/bsp_root.h"
#include "threedo/convert.h"
#include "threedo/file_writer.h"
#include "threedo/threedo_file.h"

namespace {

// Small inputs keep the tree shallow enough for the fuzzer's own stack and
// each run fast; size is not what this target looks for.
constexpr std::size_t kMaxInput = 4096;

void CheckWrittenFile(const std::vector<uint8_t>& bytes) {
    const tarvel::LoadResult loaded = tarvel::LoadThreeDo(bytes);
    if (!loaded.ok() || tarvel::CheckConsistency(*loaded.file).has_value()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace tarvel;
    if (size > kMaxInput) {
        return 0;
    }
    fuzz::DiscardingLog log;
    AseReader reader(std::string(reinterpret_cast<const char*>(data), size));
    Scene scene;
    Cupboard cupboard;
    ParseAse(reader, scene, cupboard);
    PolyList polys;
    BuildFromScene(polys, scene);
    cupboard.FixBitmapNames();

    BSPNode root;
    BuildBSPRoot(root, polys, &cupboard, PlanBuild(BuildRequest{}));
    ZertexList vertices;
    ZertexList planes;
    GStringList mips;
    std::unique_ptr<Node> tree = convertNode(root, vertices, planes, mips, &cupboard);
    if (!tree) {
        return 0;
    }
    const std::optional<std::vector<uint8_t>> bytes = Assemble3DO(*tree, vertices, planes, mips);
    if (bytes) {
        CheckWrittenFile(*bytes);
    }
    return 0;
}
