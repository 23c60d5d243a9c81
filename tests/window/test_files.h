#pragma once

// Small file helpers for the window tests.

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>

namespace tarvel::window {

// A folder of this caller's own: create_directory is false for one that
// exists already (Windows has no mkdtemp).
inline std::filesystem::path MakeTempDir(const std::string& stem) {
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = base / (stem + "_" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            return candidate;
        }
    }
    return {};
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
