#include "log/file_sink.h"

#include "log/log.h"

namespace tarvel {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}

BufferedFileSink::~BufferedFileSink() {
    Close();
}

bool BufferedFileSink::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb+");
    path_ = path;
    owned_ = true;
    failed_ = false;
    buffer_.reserve(kBufferSize);
    return file_ != nullptr;
}

void BufferedFileSink::Attach(std::FILE* stream) {
    Close();
    file_ = stream;
    path_.clear();
    owned_ = false;
    failed_ = false;
    buffer_.reserve(kBufferSize);
}

bool BufferedFileSink::Close() {
    if (file_ == nullptr) {
        return !failed_;
    }
    Drain();
    if (owned_) {
        if (std::fclose(file_) != 0) {
            Fail();
        }
    } else if (std::fflush(file_) != 0) {
        Fail();
    }
    file_ = nullptr;
    return !failed_;
}

void BufferedFileSink::Write(std::string_view text) {
    if (file_ == nullptr || failed_) {
        return;
    }
    if (buffer_.size() + text.size() > kBufferSize) {
        Drain();
        if (text.size() > kBufferSize) {
            if (!failed_ && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
                Fail();
            }
            return;
        }
    }
    if (!failed_) {
        buffer_.append(text);
    }
}

void BufferedFileSink::Flush() {
    if (file_ == nullptr) {
        return;
    }
    Drain();
    if (std::fflush(file_) != 0) {
        Fail();
    }
}

void BufferedFileSink::Drain() {
    if (!failed_ && !buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        Fail();
    }
    buffer_.clear();
}

void BufferedFileSink::Fail() {
    if (failed_) {
        return;
    }
    failed_ = true;
    // Said on the thread that writes, which carries the compile's own log.
    if (!path_.empty()) {
        LogMemoF("Could not write log file '%s'; the debug log stops here.", path_.c_str());
    }
}

std::unique_ptr<BufferedFileSink> MakeStreamSink(std::FILE* stream) {
    auto sink = std::make_unique<BufferedFileSink>();
    sink->Attach(stream);
    return sink;
}

}  // namespace tarvel
