#include "cli/batch_terminal.h"

#include <array>

namespace tarvel::cli {

namespace {

void WriteAll(std::string_view text, std::FILE* stream) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

void CopyStream(std::FILE* from, std::FILE* to) {
    std::rewind(from);
    std::array<char, 1 << 16> buffer;
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), from)) > 0) {
        std::fwrite(buffer.data(), 1, got, to);
    }
}

}  // namespace

void PrefixedMemoSink::WriteLine(std::string_view line) {
    std::string whole = prefix_;
    whole += line;
    terminal_.ErrorLine(whole);
}

void BatchTerminal::ErrorLine(std::string_view line) {
    std::string whole(line);
    whole += '\n';
    const std::lock_guard lock(mutex_);
    ClearProgressLocked();
    WriteAll(whole, stderr);
}

void BatchTerminal::Output(std::FILE* spool, std::string_view lines) {
    const std::lock_guard lock(mutex_);
    // Standard output may be the same terminal.
    ClearProgressLocked();
    if (spool != nullptr) {
        CopyStream(spool, stdout);
    }
    WriteAll(lines, stdout);
    std::fflush(stdout);
}

void BatchTerminal::Progress(std::string_view text) {
    if (!showProgress_) {
        return;
    }
    std::string frame = "\r\x1b[K";
    frame += text;
    const std::lock_guard lock(mutex_);
    WriteAll(frame, stderr);
    drawn_ = true;
}

void BatchTerminal::ClearProgress() {
    const std::lock_guard lock(mutex_);
    ClearProgressLocked();
}

void BatchTerminal::ClearProgressLocked() {
    if (drawn_) {
        WriteAll("\r\x1b[K", stderr);
        drawn_ = false;
    }
}

}  // namespace tarvel::cli
