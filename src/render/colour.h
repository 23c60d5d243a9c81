#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace tarvel::render {

// Pixels are 32-bit words whose bytes in memory are R, G, B, A on a
// little-endian host, so the buffer goes to an RGBA image or PNG as it is.
using Rgba = uint32_t;
static_assert(std::endian::native == std::endian::little);

inline uint8_t ToByte(double v) {
    return static_cast<uint8_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5);
}

inline constexpr Rgba PackRgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    return Rgba{r} | (Rgba{g} << 8) | (Rgba{b} << 16) | (Rgba{a} << 24);
}

inline Rgba PackRgb(double r, double g, double b) {
    return PackRgba(ToByte(r), ToByte(g), ToByte(b));
}

inline constexpr uint8_t Channel(Rgba c, int index) {
    return static_cast<uint8_t>((c >> (8 * index)) & 0xffu);
}

struct Rgb {
    float r = 1, g = 1, b = 1;
};

// Evenly spread hues by the golden ratio, so neighbouring numbers look
// different.
inline Rgb SpreadColour(int32_t n) {
    const double hue = std::fmod(n * 0.6180339887498949, 1.0) * 6.0;
    const double f = hue - std::floor(hue);
    const double lo = 0.25, hi = 0.95;
    const double up = lo + (hi - lo) * f, down = hi - (hi - lo) * f;
    const double rgb[6][3] = {{hi, up, lo},   {down, hi, lo}, {lo, hi, up},
                              {lo, down, hi}, {up, lo, hi},   {hi, lo, down}};
    const auto* c = rgb[static_cast<int>(hue) % 6];
    return {static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])};
}

}  // namespace tarvel::render
