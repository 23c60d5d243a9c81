#include "scene_generator/text_out.h"

#include <cassert>
#include <charconv>
#include <cmath>

namespace tarvel::scenegen {
namespace {

constexpr std::size_t kChunk = 1 << 20;

}  // namespace

TextOut& TextOut::Put(std::string_view text) {
    buffer_.append(text);
    MaybeFlush();
    return *this;
}

TextOut& TextOut::Tabs(int count) {
    buffer_.append(static_cast<std::size_t>(count), '\t');
    return *this;
}

TextOut& TextOut::Int(int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
    return *this;
}

TextOut& TextOut::Padded(int64_t value, int width) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    const auto length = static_cast<int>(result.ptr - digits);
    if (length < width) {
        buffer_.append(static_cast<std::size_t>(width - length), ' ');
    }
    buffer_.append(digits, result.ptr);
    return *this;
}

TextOut& TextOut::Fixed4(double value) {
    // The reader ignores an exponent's letter, so a number must never need one:
    // the generator keeps every value far below this.
    assert(std::isfinite(value) && std::fabs(value) < 1e7);
    char digits[32];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 4);
    std::string_view text(digits, static_cast<std::size_t>(result.ptr - digits));
    if (text == "-0.0000") {
        text.remove_prefix(1);
    }
    buffer_.append(text);
    return *this;
}

void TextOut::MaybeFlush() {
    if (file_ != nullptr && buffer_.size() >= kChunk) {
        Flush();
    }
}

bool TextOut::Flush() {
    if (file_ == nullptr || buffer_.empty()) {
        return ok_;
    }
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        ok_ = false;
    }
    buffer_.clear();
    return ok_;
}

}  // namespace tarvel::scenegen
