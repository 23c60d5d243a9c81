#pragma once

// Buffered text output with the number formats of an ASE file. Numbers are
// formatted with std::to_chars, which ignores the locale and rounds
// correctly, so the same values give the same bytes everywhere.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tarvel::scenegen {

class TextOut {
  public:
    // Keeps everything in memory (Text()).
    TextOut() = default;
    // Writes through to an open file in chunks; the file stays the caller's.
    explicit TextOut(std::FILE* file) : file_(file) {}
    ~TextOut() { Flush(); }
    TextOut(const TextOut&) = delete;
    TextOut& operator=(const TextOut&) = delete;

    TextOut& Put(std::string_view text);
    TextOut& Tabs(int count);
    TextOut& Int(int64_t value);
    // Right-aligned in width characters, as printf's %*d.
    TextOut& Padded(int64_t value, int width);
    // Four decimals, as %.4f, except that a value that rounds to zero never
    // shows a minus sign.
    TextOut& Fixed4(double value);
    // The exporter's line end.
    TextOut& Eol() { return Put("\r\n"); }

    // False once any write to the file failed.
    bool Flush();
    bool ok() const { return ok_; }
    const std::string& text() const { return buffer_; }

  private:
    void MaybeFlush();

    std::FILE* file_ = nullptr;
    std::string buffer_;
    bool ok_ = true;
};

}  // namespace tarvel::scenegen
