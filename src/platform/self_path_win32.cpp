#include "platform/self_path.h"

#include <windows.h>

#include <system_error>

namespace tarvel {

std::filesystem::path ExecutablePath() {
    // A path may be longer than MAX_PATH; grow until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) {
            return {};
        }
        if (length < size) {
            buffer.resize(length);
            return std::filesystem::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutableFileName(const std::string& stem) {
    return stem + ".exe";
}

// Windows has no execute bit: a regular file with the program suffix is one.
bool IsExecutableFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace tarvel
