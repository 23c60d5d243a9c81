#include "threedo/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/utf8_path.h"

namespace tarvel {

std::string AtomicFile::TemporaryName(const std::string& target, uint64_t salt) {
    const std::filesystem::path path = PathFromUtf8(target);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(salt));
    const std::string name = "." + Utf8FromPath(path.filename()) + suffix;
    return Utf8FromPath(path.parent_path() / PathFromUtf8(name));
}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Fail(const char* what) {
    return FailWith(std::string(what) + ": " + std::strerror(errno));
}

bool AtomicFile::FailWith(std::string message) {
    error_ = std::move(message);
    Discard();
    return false;
}

bool AtomicFile::WriteAll(const uint8_t* bytes, std::size_t total) {
    std::size_t done = 0;
    while (done < total) {
        const uint8_t* data = bytes + done;
        const std::size_t size = total - done;
        const long n = hooks_ != nullptr && hooks_->write ? hooks_->write(fd_, data, size)
                                                          : WriteSome(fd_, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;  // no progress: treat as a full disk
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFile::Commit(const std::vector<uint8_t>& bytes) {
    return Write(bytes.data(), bytes.size()) && Commit();
}

bool AtomicFile::Write(const uint8_t* data, std::size_t size) {
    if (fd_ < 0) {
        errno = EBADF;
        return Fail("not open");
    }
    if (!WriteAll(data, size)) {
        return Fail("write");
    }
    return true;
}

bool AtomicFile::Commit() {
    if (fd_ < 0) {
        errno = EBADF;
        return Fail("not open");
    }
    if (!FlushToDisk(fd_)) {
        return Fail("flush to disk");
    }
    const int fd = fd_;
    fd_ = -1;
    if (!CloseFile(fd)) {
        return Fail("close");
    }
    return Rename();
}

bool AtomicFile::Rename() {
    if (hooks_ == nullptr || !hooks_->rename) {
        return ReplaceTarget();
    }
    if (hooks_->rename(temporary_.c_str(), target_.c_str()) != 0) {
        return Fail("rename");
    }
    temporary_.clear();
    return true;
}

}  // namespace tarvel
