#include "platform/utf8_path.h"

namespace tarvel {

// The bytes of a name are the name: a Latin-1 name stays as it was given.
std::filesystem::path PathFromUtf8(const std::string& name) {
    return std::filesystem::path(name);
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    return path.string();
}

std::FILE* OpenFile(const std::string& name, const char* mode) {
    return std::fopen(name.c_str(), mode);
}

}  // namespace tarvel
