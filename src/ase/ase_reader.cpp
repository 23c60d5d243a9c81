#include "ase/ase_reader.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/utf8_path.h"

namespace tarvel {

namespace {

// Bytes of 128 and more count as blanks, so stray non-ASCII text between
// tokens is skipped, and ends a token it stands in.
constexpr bool IsBlank(unsigned char c) {
    return c <= 32 || c >= 128;
}
constexpr bool IsTokenChar(unsigned char c) {
    return c >= 33 && c <= 127;
}
constexpr bool IsTextChar(unsigned char c) {
    return c >= 32 && c <= 127;
}
constexpr bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
constexpr bool IsNumberChar(unsigned char c) {
    return IsDigit(c) || c == '-' || c == '+';
}

// What text mode gives on a CR LF platform: each CR LF pair is one LF.
void FoldCrLf(std::string& text) {
    std::size_t in = text.find('\r');
    if (in == std::string::npos) {
        return;
    }
    // Copies whole runs between CRs; only a CR followed by LF is dropped.
    char* data = text.data();
    const std::size_t size = text.size();
    std::size_t out = in;
    while (in < size) {
        const bool pair = in + 1 < size && data[in + 1] == '\n';
        const std::size_t runStart = pair ? in + 1 : in;
        const void* next = std::memchr(data + in + 1, '\r', size - in - 1);
        const std::size_t runEnd =
            next != nullptr ? static_cast<std::size_t>(static_cast<const char*>(next) - data)
                            : size;
        std::memmove(data + out, data + runStart, runEnd - runStart);
        out += runEnd - runStart;
        in = runEnd;
    }
    text.resize(out);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

AseReader::AseReader(std::string bytes) : text_(std::move(bytes)) {
    FoldCrLf(text_);
}

std::optional<AseReader> AseReader::Load(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(OpenFile(path, "rb"));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    // Read straight into a string of the file's size (one more, to see the
    // end without growing); it doubles only when the file grew meanwhile.
    std::size_t used = 0;
    std::size_t got = 0;
    std::error_code sizeError;
    const auto expected = std::filesystem::file_size(PathFromUtf8(path), sizeError);
    bytes.resize(sizeError ? std::size_t{1} << 16 : static_cast<std::size_t>(expected) + 1);
    while ((got = std::fread(bytes.data() + used, 1, bytes.size() - used, file.get())) > 0) {
        used += got;
        if (used == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
    }
    bytes.resize(used);
    // A directory opens but cannot be read: that is no empty scene.
    if (std::ferror(file.get()) != 0) {
        return std::nullopt;
    }
    return AseReader(std::move(bytes));
}

// Every loop below tests the end mark after each read and then stops, taking
// the character of that read as its stopping character: once the end has been
// met, readers return their empty values instead of re-reading the last byte.

void AseReader::SkipBlanks() {
    unsigned char c = 0;
    do {
        Get(c);
    } while (!end_ && IsBlank(c));
    Unget();
}

void AseReader::SkipLine() {
    unsigned char c = 0;
    for (;;) {
        Get(c);
        if (end_) {
            Unget();
            return;
        }
        if (c == '\n') {
            return;
        }
    }
}

char AseReader::ReadChar() {
    SkipBlanks();
    unsigned char c = 0;
    Get(c);
    return static_cast<char>(c);
}

std::string AseReader::ReadToken() {
    std::string token;
    ReadToken(token);
    return token;
}

void AseReader::ReadToken(std::string& out) {
    out.clear();
    SkipBlanks();
    if (!end_) {
        // What the loop below does, as one scan and one append.
        std::size_t stop = pos_;
        while (stop < text_.size() && IsTokenChar(static_cast<unsigned char>(text_[stop]))) {
            ++stop;
        }
        out.append(text_, pos_, stop - pos_);
        pos_ = stop;
        if (stop == text_.size()) {
            end_ = true;
            Unget();
        }
        return;
    }
    unsigned char c = 0;
    for (;;) {
        Get(c);
        if (end_ || !IsTokenChar(c)) {
            break;
        }
        out.push_back(static_cast<char>(c));
    }
    Unget();
}

int32_t AseReader::ReadInt() {
    SkipBlanks();
    // Unsigned, so that a run of many digits wraps modulo 2^32 instead of
    // overflowing; only a leading "-" negates.
    uint32_t value = 0;
    bool negative = false;
    bool first = true;
    unsigned char c = 0;
    for (;;) {
        Get(c);
        if (end_ || !IsNumberChar(c)) {
            break;
        }
        if (IsDigit(c)) {
            value = value * 10u + static_cast<uint32_t>(c - '0');
        } else if (c == '-' && first) {
            negative = true;
        }
        first = false;
    }
    Unget();
    return static_cast<int32_t>(negative ? 0u - value : value);
}

float AseReader::ReadFloat() {
    SkipBlanks();
    // I, F and D are floats rounded after every step. Any other token
    // character is ignored and a "-" anywhere negates: 1.5e-3 reads as -1.53.
    float whole = 0.0f, numerator = 0.0f, divisor = 1.0f;
    bool point = false;
    bool negative = false;
    unsigned char c = 0;
    for (;;) {
        Get(c);
        if (end_ || !IsTokenChar(c)) {
            break;
        }
        if (IsDigit(c)) {
            const double digit = c - '0';
            if (!point) {
                whole = static_cast<float>(static_cast<double>(whole) * 10.0 + digit);
            } else {
                numerator = static_cast<float>(static_cast<double>(numerator) * 10.0 + digit);
                divisor = static_cast<float>(static_cast<double>(divisor) * 10.0);
            }
        } else if (c == '.') {
            point = true;
        } else if (c == '-') {
            negative = true;
        }
    }
    Unget();
    float result =
        static_cast<float>(static_cast<double>(numerator) / divisor + static_cast<double>(whole));
    if (negative) {
        result = static_cast<float>(static_cast<double>(result) * -1.0);
    }
    return result;
}

std::string AseReader::ReadQuoted() {
    SkipBlanks();
    std::string text;
    std::size_t collected = 0;
    unsigned char c = 0;
    for (;;) {
        Get(c);
        if (end_ || !IsTextChar(c)) {
            break;
        }
        // Quotes count towards the limit: it applies to the text as read.
        if (collected < kMaxQuoted) {
            ++collected;
            if (c != '"') {
                text.push_back(static_cast<char>(c));
            }
        }
    }
    Unget();
    return text;
}

}  // namespace tarvel
