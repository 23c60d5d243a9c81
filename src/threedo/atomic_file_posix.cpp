#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "threedo/atomic_file.h"

namespace tarvel {

namespace {

// A symbolic link is written through, as opening it for output would.
std::string ResolveLink(const std::string& target) {
    struct stat st {};
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return target;
    }
    char* real = realpath(target.c_str(), nullptr);
    if (real == nullptr) {
        return target;
    }
    std::string resolved(real);
    std::free(real);
    return resolved;
}

// The folder of a file, for flushing the rename itself to disk.
void SyncFolder(const std::string& file) {
    std::filesystem::path folder = std::filesystem::path(file).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // best effort: the new file is complete either way
        ::close(fd);
    }
}

}  // namespace

void AtomicFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool AtomicFile::Open(const std::string& target) {
    Discard();
    target_ = ResolveLink(target);
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        errno = EISDIR;
        return Fail("target is a folder");
    }
    if (exists && ::access(target_.c_str(), W_OK) != 0) {
        return Fail("target is not writable");
    }
    std::random_device random;
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        const uint64_t salt = (uint64_t{random()} << 32) ^ random();
        temporary_ = TemporaryName(target_, salt);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        temporary_.clear();  // not ours: nothing to remove
        return Fail("cannot create the temporary file");
    }
    if (exists) {
        // The replacement keeps the permissions of the file it replaces.
        ::fchmod(fd_, existing.st_mode & 07777);
    }
    return true;
}

long AtomicFile::WriteSome(int fd, const uint8_t* data, std::size_t size) {
    return ::write(fd, data, size);
}

bool AtomicFile::FlushToDisk(int fd) {
    return ::fsync(fd) == 0;
}

bool AtomicFile::CloseFile(int fd) {
    return ::close(fd) == 0;
}

bool AtomicFile::ReplaceTarget() {
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return Fail("rename");
    }
    temporary_.clear();
    SyncFolder(target_);
    return true;
}

}  // namespace tarvel
