#pragma once

// printf-compatible number formatting without the locale and varargs cost of
// the C library: the debug dumps of a large build format billions of numbers.
// Every function produces exactly the bytes printf would.

#include <cstdint>
#include <string>

namespace tarvel {

// "%<width>.<precision>f" for 0 <= precision <= 9; falls back to snprintf for
// values too large for the exact integer path, and for NaN and infinity.
void AppendFixed(std::string& out, double value, int width, int precision);
// "%<width>d".
void AppendInt(std::string& out, int64_t value, int width);
// "%<width>X", or "%0<width>X" with zeroPad.
void AppendHex(std::string& out, uint32_t value, int width, bool zeroPad);

}  // namespace tarvel
