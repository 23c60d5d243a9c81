#include "window/dropped_file.h"

#include "driver/record_mesh_file.h"
#include "import/scene_formats.h"

namespace tarvel::window {

namespace {

bool NamedThreeDo(const std::string& path) {
    constexpr std::string_view kExtension = ".3do";
    if (path.size() < kExtension.size()) {
        return false;
    }
    const std::string_view tail = std::string_view(path).substr(path.size() - kExtension.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char c = tail[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != kExtension[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

DroppedFileKind ClassifyDroppedFile(const std::string& path) {
    if (NamedThreeDo(path) || StartsWithThreeDoMagic(path)) {
        return DroppedFileKind::ThreeDo;
    }
    return import::HasSceneExtension(path) ? DroppedFileKind::Scene : DroppedFileKind::Other;
}

}  // namespace tarvel::window
