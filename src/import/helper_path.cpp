#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "import/helper_process.h"

namespace tarvel::import {

namespace {

constexpr const char* kHelperName = "tarvel-import";

bool IsExecutable(const std::filesystem::path& path) {
    return ::access(path.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(path);
}

}  // namespace

std::string FindHelper() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path dir = self.parent_path();
        for (const std::filesystem::path& candidate :
             {dir / kHelperName, dir / ".." / "libexec" / "tarvel" / kHelperName}) {
            if (IsExecutable(candidate)) {
                return candidate.string();
            }
        }
    }
    // In the build tree the front ends and the tests each live in a folder
    // of their own; they share the helper built beside them.
    return TARVEL_IMPORT_HELPER_PATH;
}

}  // namespace tarvel::import
