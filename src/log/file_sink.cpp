#include "log/file_sink.h"

#include "log/log.h"
#include "platform/utf8_path.h"

namespace tarvel {

namespace {
// Large enough that the hand-overs cost nothing next to the writes, small
// enough that two of them are no burden to a compile.
constexpr std::size_t kBufferSize = std::size_t{4} << 20;
}  // namespace

BufferedFileSink::~BufferedFileSink() {
    Close();
}

bool BufferedFileSink::Open(const std::string& path) {
    Close();
    std::FILE* file = OpenFile(path, "wb+");
    if (file != nullptr) {
        Start(file, path, true);
    }
    return file != nullptr;
}

void BufferedFileSink::Attach(std::FILE* stream) {
    Close();
    Start(stream, std::string(), false);
}

void BufferedFileSink::Start(std::FILE* file, const std::string& path, bool owned) {
    file_ = file;
    path_ = path;
    owned_ = owned;
    failed_ = false;
    writeFailed_ = false;
    buffer_.reserve(kBufferSize);
}

bool BufferedFileSink::Close() {
    if (file_ == nullptr) {
        return !failed_;
    }
    Submit();
    StopWriter();
    if (writeFailed_) {
        Fail();
    }
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
    if (writeFailed_.load(std::memory_order_relaxed)) {
        Fail();
        return;
    }
    buffer_.append(text);
    if (buffer_.size() >= kBufferSize) {
        Submit();
    }
}

void BufferedFileSink::Flush() {
    if (file_ == nullptr) {
        return;
    }
    Submit();
    AwaitWriter();
    // The writer is idle now, so the stream is this thread's.
    if (std::fflush(file_) != 0 || writeFailed_) {
        Fail();
    }
}

void BufferedFileSink::Submit() {
    if (buffer_.empty() || failed_) {
        buffer_.clear();
        return;
    }
    if (!writer_.joinable()) {
        stopping_ = false;
        writer_ = std::thread([this] { RunWriter(); });
    }
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        pending_.swap(buffer_);
        busy_ = true;
    }
    changed_.notify_all();
    buffer_.clear();
}

void BufferedFileSink::AwaitWriter() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
}

void BufferedFileSink::StopWriter() {
    if (!writer_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void BufferedFileSink::RunWriter() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (busy_) {
            lock.unlock();
            if (!writeFailed_ &&
                std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size()) {
                writeFailed_ = true;
            }
            pending_.clear();
            lock.lock();
            busy_ = false;
            changed_.notify_all();
        } else {
            return;
        }
    }
}

void BufferedFileSink::Fail() {
    if (failed_) {
        return;
    }
    failed_ = true;
    buffer_.clear();
    // Said here, on the thread that writes, which carries the compile's own
    // log; the writer thread has none.
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
