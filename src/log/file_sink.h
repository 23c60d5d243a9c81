#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "log/sinks.h"

namespace tarvel {

// A file written through a large buffer: the debug dumps of a big build are
// hundreds of megabytes written a few dozen bytes at a time. Once a write
// fails (a full disk, an I/O error) the rest is dropped; for a file opened
// by name, the memo of the compile that writes says so once.
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
    void Drain();

    void Fail();

    std::FILE* file_ = nullptr;
    std::string path_;  // empty for an attached stream
    bool owned_ = false;
    bool failed_ = false;
    std::string buffer_;
};

// A sink writing to a stream this process keeps open (stdout, stderr).
std::unique_ptr<BufferedFileSink> MakeStreamSink(std::FILE* stream);

}  // namespace tarvel
