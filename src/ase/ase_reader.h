#pragma once

// The seven small readers the ASE parser walks the text with. Each consumes a
// little and leaves the position where the next one continues; all state is
// the position in an in-memory copy of the file plus the sticky end mark.
//
// The text is held as loaded in text mode: every CR LF pair is one LF, a lone
// CR stays. Get and Unget are inline because the parser calls them once per
// byte of files of hundreds of megabytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tarvel {

class AseReader {
  public:
    // Takes the file's bytes; CR LF pairs are folded into LF here.
    explicit AseReader(std::string bytes);

    // Reads a whole file read-only, in binary, then folds CR LF as above.
    // Nullopt when it cannot be opened or read.
    static std::optional<AseReader> Load(const std::string& path);

    // The end mark: set by the first read that finds no more characters,
    // and never cleared.
    bool AtEnd() const { return end_; }

    void SkipBlanks();
    void SkipLine();
    char ReadChar();
    std::string ReadToken();
    // ReadToken into a caller's buffer, so the parser's loop reuses one string.
    void ReadToken(std::string& out);
    int32_t ReadInt();
    float ReadFloat();
    std::string ReadQuoted();

    // The most ReadQuoted keeps; the rest of the run is consumed and dropped.
    static constexpr std::size_t kMaxQuoted = 9999;

  private:
    // One character, or false with the end mark set and c untouched: a read
    // past the end leaves the reader's current character as it was.
    bool Get(unsigned char& c) {
        if (pos_ < text_.size()) {
            c = static_cast<unsigned char>(text_[pos_++]);
            return true;
        }
        end_ = true;
        return false;
    }

    // One character back; after the end this makes the last character the
    // next one read. At the start of the text there is nothing to step over.
    void Unget() {
        if (pos_ > 0) {
            --pos_;
        }
    }

    std::string text_;
    std::size_t pos_ = 0;
    bool end_ = false;
};

}  // namespace tarvel
