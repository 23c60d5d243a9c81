#include "platform/self_path.h"

#include <unistd.h>

#include <system_error>

namespace tarvel {

std::filesystem::path ExecutablePath() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self;
}

std::string ExecutableFileName(const std::string& stem) {
    return stem;
}

bool IsExecutableFile(const std::filesystem::path& path) {
    std::error_code error;
    return ::access(path.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(path, error);
}

}  // namespace tarvel
