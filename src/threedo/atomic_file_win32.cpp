#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <random>
#include <thread>

#include "platform/wide_text.h"
#include "threedo/atomic_file.h"

namespace tarvel {

namespace {

// Another program holding the old file open (a viewer, a virus scanner
// looking at the new one) makes the replace fail for a moment: it is tried
// again for about this long before the save gives up.
constexpr int kReplaceAttempts = 15;
constexpr auto kReplacePause = std::chrono::milliseconds(20);

bool Transient(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

std::string ReplaceFailure(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "the old file is held open by another program";
        case ERROR_ACCESS_DENIED:
            return "the old file cannot be replaced (access denied, or held open)";
        default:
            return "Windows error " + std::to_string(error);
    }
}

}  // namespace

void AtomicFile::Discard() {
    if (fd_ >= 0) {
        ::_close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::DeleteFileW(WideFromUtf8(temporary_).c_str());
        temporary_.clear();
    }
}

bool AtomicFile::Open(const std::string& target) {
    Discard();
    target_ = target;
    const DWORD attributes = ::GetFileAttributesW(WideFromUtf8(target_).c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        errno = EISDIR;
        return Fail("target is a folder");
    }
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        errno = EACCES;
        return Fail("target is not writable");
    }
    std::random_device random;
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        const uint64_t salt = (uint64_t{random()} << 32) ^ random();
        temporary_ = TemporaryName(target_, salt);
        // Not inherited: an import helper started meanwhile must not hold it.
        fd_ = ::_wopen(WideFromUtf8(temporary_).c_str(),
                       _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                       _S_IREAD | _S_IWRITE);
        if (fd_ < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        temporary_.clear();  // not ours: nothing to remove
        return Fail("cannot create the temporary file");
    }
    return true;
}

long AtomicFile::WriteSome(int fd, const uint8_t* data, std::size_t size) {
    const auto chunk = static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX));
    return ::_write(fd, data, chunk);
}

bool AtomicFile::FlushToDisk(int fd) {
    return ::_commit(fd) == 0;
}

bool AtomicFile::CloseFile(int fd) {
    return ::_close(fd) == 0;
}

// Write-through: the call returns once the rename is on the disk.
bool AtomicFile::ReplaceTarget() {
    const std::wstring from = WideFromUtf8(temporary_);
    const std::wstring to = WideFromUtf8(target_);
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(kReplacePause);
        }
        if (::MoveFileExW(from.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
            temporary_.clear();
            return true;
        }
        error = ::GetLastError();
        if (!Transient(error)) {
            break;
        }
    }
    return FailWith("replacing '" + target_ + "': " + ReplaceFailure(error));
}

}  // namespace tarvel
