#include "platform/utf8_path.h"

#include "platform/wide_text.h"

namespace tarvel {

std::filesystem::path PathFromUtf8(const std::string& name) {
    return std::filesystem::path(WideFromUtf8(name));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    return Utf8FromWide(path.native());
}

std::FILE* OpenFile(const std::string& name, const char* mode) {
    return ::_wfopen(WideFromUtf8(name).c_str(), WideFromUtf8(mode).c_str());
}

}  // namespace tarvel
