#include "log/fast_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tarvel {

namespace {

__extension__ typedef unsigned __int128 u128;

constexpr uint64_t kPow10[] = {1,      10,      100,      1000,      10000,
                               100000, 1000000, 10000000, 100000000, 1000000000};

void PadLeft(std::string& out, std::size_t start, int width) {
    const std::size_t written = out.size() - start;
    if (width > 0 && written < static_cast<std::size_t>(width)) {
        out.insert(start, static_cast<std::size_t>(width) - written, ' ');
    }
}

void AppendFixedSlow(std::string& out, double value, int width, int precision) {
    char buffer[400];
    const int n = std::snprintf(buffer, sizeof buffer, "%*.*f", width, precision, value);
    if (n > 0) {
        out.append(buffer, static_cast<std::size_t>(n) < sizeof buffer ? static_cast<std::size_t>(n)
                                                                       : sizeof buffer - 1);
    }
}

void AppendU128(std::string& out, u128 value) {
    char digits[40];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    while (n > 0) {
        out.push_back(digits[--n]);
    }
}

// The same in 64 bits, for the values the dumps are made of: floats widened
// to double have at most 24 significant bits, so value * 10^precision fits
// comfortably. False, with nothing written, for a value that does not fit.
bool AppendFixed64(std::string& out, bool negative, uint64_t mantissa, int exponent, int width,
                   int precision) {
    if (mantissa == 0) {
        exponent = 0;  // a zero of either sign
    } else {
        const int zeros = std::countr_zero(mantissa);
        mantissa >>= zeros;
        exponent += zeros;
    }
    uint64_t product = 0;
    if (__builtin_mul_overflow(mantissa, kPow10[precision], &product)) {
        return false;
    }
    uint64_t scaled = 0;
    if (exponent >= 0) {
        if (exponent > 0 && (exponent >= 64 || (product >> (64 - exponent)) != 0)) {
            return false;
        }
        scaled = product << exponent;
    } else {
        const int shift = -exponent;
        if (shift >= 64) {
            return false;
        }
        const uint64_t one = uint64_t{1} << shift;
        const uint64_t remainder = product & (one - 1);
        const uint64_t half = one >> 1;
        scaled = product >> shift;
        if (remainder > half || (remainder == half && (scaled & 1) != 0)) {
            ++scaled;
        }
    }
    char text[48];
    char* end = text;
    if (negative) {
        *end++ = '-';
    }
    const uint64_t unit = kPow10[precision];
    end = std::to_chars(end, text + sizeof text, scaled / unit).ptr;
    if (precision > 0) {
        *end++ = '.';
        uint64_t rest = scaled % unit;
        for (int i = precision - 1; i >= 0; --i) {
            end[i] = static_cast<char>('0' + rest % 10);
            rest /= 10;
        }
        end += precision;
    }
    const auto length = static_cast<std::size_t>(end - text);
    if (width > 0 && length < static_cast<std::size_t>(width)) {
        out.append(static_cast<std::size_t>(width) - length, ' ');
    }
    out.append(text, length);
    return true;
}

}  // namespace

void AppendFixed(std::string& out, double value, int width, int precision) {
    if (!std::isfinite(value) || precision < 0 || precision > 9) {
        AppendFixedSlow(out, value, width, precision);
        return;
    }
    // value = mantissa * 2^exponent exactly; scaled = value * 10^precision is
    // rounded to an integer, ties to even, as printf does on the exact value.
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    if (AppendFixed64(out, negative, mantissa, exponent, width, precision)) {
        return;
    }
    u128 scaled = static_cast<u128>(mantissa) * kPow10[precision];  // < 2^83
    if (exponent > 40) {
        AppendFixedSlow(out, value, width, precision);
        return;
    }
    if (exponent >= 0) {
        scaled <<= exponent;
    } else {
        const int shift = -exponent;
        if (shift >= 127) {
            scaled = 0;  // far below half a unit in the last place
        } else {
            const u128 one = static_cast<u128>(1) << shift;
            const u128 remainder = scaled & (one - 1);
            const u128 half = one >> 1;
            scaled >>= shift;
            if (remainder > half || (remainder == half && (scaled & 1) != 0)) {
                ++scaled;
            }
        }
    }
    const std::size_t start = out.size();
    if (negative) {
        out.push_back('-');
    }
    const uint64_t unit = kPow10[precision];
    AppendU128(out, scaled / unit);
    if (precision > 0) {
        out.push_back('.');
        char fraction[10];
        uint64_t rest = static_cast<uint64_t>(scaled % unit);
        for (int i = precision - 1; i >= 0; --i) {
            fraction[i] = static_cast<char>('0' + rest % 10);
            rest /= 10;
        }
        out.append(fraction, static_cast<std::size_t>(precision));
    }
    PadLeft(out, start, width);
}

void AppendInt(std::string& out, int64_t value, int width) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::size_t start = out.size();
    out.append(buffer, result.ptr);
    PadLeft(out, start, width);
}

void AppendHex(std::string& out, uint32_t value, int width, bool zeroPad) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    const std::size_t start = out.size();
    for (char* p = buffer; p != result.ptr; ++p) {
        out.push_back(*p >= 'a' ? static_cast<char>(*p - 'a' + 'A') : *p);
    }
    const std::size_t written = out.size() - start;
    if (width > 0 && written < static_cast<std::size_t>(width)) {
        out.insert(start, static_cast<std::size_t>(width) - written, zeroPad ? '0' : ' ');
    }
}

}  // namespace tarvel
