#pragma once

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tarvel::testing {

class TempDir {
  public:
    explicit TempDir(const std::string& prefix = "tarvel-test") {
        // create_directory is false for a folder that exists already, so
        // each name is claimed by one test only (as mkdtemp, which Windows
        // lacks, would).
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate =
                base / (prefix + "-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary folder");
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

}  // namespace tarvel::testing
