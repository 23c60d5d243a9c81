// Any bytes as the importer helper's output: the parent's decoder, then the
// placement and the scene model and polygons built from what it accepted.
// Everything the decoder accepts is exactly what the encoder writes, so a
// decoded scene must encode back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "bsp/poly_list.h"
#include "discarding_log.h"
#include "import/scene_placement.h"
#include "import/scene_wire.h"

namespace {

constexpr std::size_t kMaxInput = 65536;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace tarvel;
    if (size > kMaxInput) {
        return 0;
    }
    fuzz::DiscardingLog log;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    import::DecodedOutput decoded = import::DecodeOutput(bytes);
    if (decoded.failure && import::EncodeFailure(*decoded.failure) != bytes) {
        std::abort();
    }
    if (!decoded.scene) {
        return 0;
    }
    if (import::EncodeScene(*decoded.scene) != bytes) {
        std::abort();
    }
    import::Placement placement;
    placement.scale = size % 2 == 0 ? 1.0 : 1e30;  // also past the float range
    import::PlaceScene(*decoded.scene, placement);
    Scene scene;
    Cupboard cupboard;
    import::FillSceneModel(*decoded.scene, scene, cupboard);
    scene.Compile();
    PolyList polys;
    BuildFromScene(polys, scene);
    return 0;
}
