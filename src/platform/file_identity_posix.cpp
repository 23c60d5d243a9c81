#include "platform/file_identity.h"

#include <sys/stat.h>

namespace tarvel {

std::optional<std::string> FileIdentity(const std::string& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

}  // namespace tarvel
