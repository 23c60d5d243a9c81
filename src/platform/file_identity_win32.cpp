#include "platform/file_identity.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace tarvel {

std::optional<std::string> FileIdentity(const std::string& name) {
    // Opening for no access at all still identifies a file another program
    // holds open; backup semantics let a folder open too.
    const HANDLE file = ::CreateFileW(WideFromUtf8(name).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL known = ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    if (known == 0) {
        return std::nullopt;
    }
    const unsigned long long index =
        (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(index);
}

}  // namespace tarvel
