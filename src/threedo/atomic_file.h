#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvel {

// Seams for tests: stand-ins for the system calls that can fail late in a
// save. Empty functions mean the real calls.
struct SaveHooks {
    // As write(2): bytes written, or -1 with errno set.
    std::function<long(int fd, const uint8_t* data, std::size_t size)> write;
    // As rename(2): 0, or -1 with errno set.
    std::function<int(const char* from, const char* to)> rename;
};

// A file replaced only by a complete new version: the bytes go to a
// temporary file beside the target, which is flushed to disk, closed and
// then renamed over the target. Any failure removes the temporary and leaves
// an existing target as it was.
class AtomicFile {
  public:
    explicit AtomicFile(const SaveHooks* hooks = nullptr) : hooks_(hooks) {}
    ~AtomicFile();  // removes the temporary unless Commit succeeded
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary. False when the target could not be written: its
    // folder is missing or not writable, or it is a folder or read-only.
    bool Open(const std::string& target);
    // Writes every byte, flushes, closes and renames. False on any failure.
    bool Commit(const std::vector<uint8_t>& bytes);
    // The same in steps, so that a large file need not be in memory whole:
    // Write appends to the temporary, Commit flushes, closes and renames.
    bool Write(const uint8_t* data, std::size_t size);
    bool Commit();

    // What failed last, for the log file.
    const std::string& error() const { return error_; }

  private:
    static std::string TemporaryName(const std::string& target, uint64_t salt);
    // Each records what failed, discards the temporary and returns false.
    bool Fail(const char* what);  // with the reason errno gives
    bool FailWith(std::string message);
    bool WriteAll(const uint8_t* bytes, std::size_t size);
    // Puts the complete temporary in the target's place; fails as above.
    bool Rename();

    // What each system does its own way.
    static long WriteSome(int fd, const uint8_t* data, std::size_t size);
    static bool FlushToDisk(int fd);
    static bool CloseFile(int fd);
    bool ReplaceTarget();
    void Discard();

    const SaveHooks* hooks_;
    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    std::string error_;
};

}  // namespace tarvel
