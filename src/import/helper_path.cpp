#include <filesystem>
#include <string>

#include "import/helper_process.h"
#include "platform/self_path.h"
#include "platform/utf8_path.h"

namespace tarvel::import {

std::string FindHelper() {
    const std::filesystem::path self = ExecutablePath();
    if (!self.empty()) {
        const std::filesystem::path dir = self.parent_path();
        const std::string name = ExecutableFileName("tarvel-import");
        for (const std::filesystem::path& candidate :
             {dir / name, dir / ".." / "libexec" / "tarvel" / name}) {
            if (IsExecutableFile(candidate)) {
                return Utf8FromPath(candidate);
            }
        }
    }
    // In the build tree the front ends and the tests each live in a folder
    // of their own; they share the helper built beside them.
    return TARVEL_IMPORT_HELPER_PATH;
}

}  // namespace tarvel::import
