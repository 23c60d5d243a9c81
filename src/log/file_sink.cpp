#include "log/file_sink.h"

namespace tarvel {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}

BufferedFileSink::~BufferedFileSink() { Close(); }

bool BufferedFileSink::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb+");
    owned_ = true;
    failed_ = false;
    buffer_.reserve(kBufferSize);
    return file_ != nullptr;
}

void BufferedFileSink::Attach(std::FILE* stream) {
    Close();
    file_ = stream;
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
            failed_ = true;
        }
    } else if (std::fflush(file_) != 0) {
        failed_ = true;
    }
    file_ = nullptr;
    return !failed_;
}

void BufferedFileSink::Write(std::string_view text) {
    if (file_ == nullptr) {
        return;
    }
    if (buffer_.size() + text.size() > kBufferSize) {
        Drain();
        if (text.size() > kBufferSize) {
            if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
                failed_ = true;
            }
            return;
        }
    }
    buffer_.append(text);
}

void BufferedFileSink::Flush() {
    if (file_ == nullptr) {
        return;
    }
    Drain();
    if (std::fflush(file_) != 0) {
        failed_ = true;
    }
}

void BufferedFileSink::Drain() {
    if (!buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        failed_ = true;
    }
    buffer_.clear();
}

std::unique_ptr<BufferedFileSink> MakeStreamSink(std::FILE* stream) {
    auto sink = std::make_unique<BufferedFileSink>();
    sink->Attach(stream);
    return sink;
}

}  // namespace tarvel
