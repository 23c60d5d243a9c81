#pragma once

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tarvel::testing {

class TempDir {
  public:
    explicit TempDir(const std::string& prefix = "tarvel-test") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        path_ = pattern;
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
