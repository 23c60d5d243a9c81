#pragma once

// Small file helpers for the window tests.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tarvel::window {

inline std::filesystem::path MakeTempDir(const std::string& stem) {
    std::string pattern = (std::filesystem::temp_directory_path() / (stem + "_XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return {};
    }
    return pattern;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ExamplePath(const std::string& name) {
    return std::string(TARVEL_EXAMPLES_DIR) + "/" + name;
}

}  // namespace tarvel::window
