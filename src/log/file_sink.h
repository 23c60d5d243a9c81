#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "log/sinks.h"

namespace tarvel {

// A file written through a large buffer: the debug dumps of a big build are
// gigabytes written a few dozen bytes at a time. A full buffer is handed to
// a writer thread, so the copying into the file overlaps the work that
// fills the next one. Once a write fails (a full disk, an I/O error) the
// rest is dropped; for a file opened by name, the memo of the compile that
// writes says so once, on its own thread.
//
// One thread writes at a time (the compile's threads hand over in turn).
class BufferedFileSink final : public TextSink {
  public:
    BufferedFileSink() = default;
    ~BufferedFileSink() override;
    BufferedFileSink(const BufferedFileSink&) = delete;
    BufferedFileSink& operator=(const BufferedFileSink&) = delete;

    // Opens with mode "wb+": an existing file is emptied. False when it cannot.
    bool Open(const std::string& path);
    // Wraps a stream the caller keeps open (standard output); not closed here.
    void Attach(std::FILE* stream);
    bool IsOpen() const { return file_ != nullptr; }
    // Flushes and closes; false when any write since opening failed.
    bool Close();

    void Write(std::string_view text) override;
    void Flush() override;
    bool Failed() const { return failed_; }

  private:
    void Start(std::FILE* file, const std::string& path, bool owned);
    // Hands the buffer to the writer once it has finished the last one.
    void Submit();
    // Waits until the writer has written everything handed to it.
    void AwaitWriter();
    void StopWriter();
    void RunWriter();
    void Fail();

    std::FILE* file_ = nullptr;
    std::string path_;  // empty for an attached stream
    bool owned_ = false;
    bool failed_ = false;  // the writing thread's view; said in the memo once
    std::string buffer_;   // being filled

    // Shared with the writer thread.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string pending_;  // handed over, being written
    bool busy_ = false;    // pending_ not written yet
    bool stopping_ = false;
    std::atomic<bool> writeFailed_{false};
    std::thread writer_;
};

// A sink writing to a stream this process keeps open (stdout, stderr).
std::unique_ptr<BufferedFileSink> MakeStreamSink(std::FILE* stream);

}  // namespace tarvel
