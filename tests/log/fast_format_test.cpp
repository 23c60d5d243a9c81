#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "log/fast_format.h"

namespace tarvel {
namespace {

std::string Printf(const char* format, double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string Fixed(double value, int width, int precision) {
    std::string out;
    AppendFixed(out, value, width, precision);
    return out;
}

struct FixedFormat {
    int width, precision;
    const char* printf;
};
constexpr FixedFormat kFormats[] = {{8, 3, "%8.3f"},   {8, 5, "%8.5f"}, {8, 6, "%8.6f"},
                                    {11, 3, "%11.3f"}, {4, 2, "%4.2f"}, {6, 4, "%6.4f"},
                                    {0, 6, "%.6f"},    {1, 0, "%1.0f"}};

TEST(FastFormat, fixed_matches_printf_on_edge_values) {
    const double values[] = {0.0,
                             -0.0,
                             0.5,
                             1.5,
                             2.5,
                             0.0005,
                             0.00049,
                             -0.0004,
                             0.125,
                             0.0625,
                             1e-7,
                             -1e-300,
                             123.456,
                             -99999.5,
                             1e15,
                             1e30,
                             -3.4e38,
                             0.001f,
                             0.1f,
                             1.0f / 3,
                             2.0 / 3,
                             4.35,
                             1.005,
                             -2.675,
                             std::numeric_limits<double>::denorm_min(),
                             9.9999995,
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (const FixedFormat& f : kFormats) {
        for (double v : values) {
            EXPECT_EQ(Fixed(v, f.width, f.precision), Printf(f.printf, v)) << f.printf << " " << v;
        }
    }
}

TEST(FastFormat, fixed_matches_printf_on_random_floats_and_doubles) {
    std::mt19937_64 random(12345);
    for (int i = 0; i < 200000; ++i) {
        const uint64_t bits = random();
        double value;
        if (i % 2 == 0) {
            // Floats of every magnitude, the common case in the dumps.
            value = std::bit_cast<float>(static_cast<uint32_t>(bits));
        } else {
            // Doubles of moderate magnitude.
            value = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(bits % 120) - 100);
        }
        const FixedFormat& f = kFormats[i % std::size(kFormats)];
        ASSERT_EQ(Fixed(value, f.width, f.precision), Printf(f.printf, value))
            << f.printf << " " << value;
    }
}

TEST(FastFormat, ints_and_hex_match_printf) {
    const int64_t ints[] = {0, 7, -7, 12345, -123456, 2147483647, -2147483648LL};
    for (int64_t v : ints) {
        std::string out;
        AppendInt(out, v, 5);
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%5lld", static_cast<long long>(v));
        EXPECT_EQ(out, buffer);
    }
    const uint32_t hexes[] = {0, 7, 0x81F, 0xFF007FFF, 0xFFFFFFFF};
    for (uint32_t v : hexes) {
        std::string padded, spaced;
        AppendHex(padded, v, 8, true);
        AppendHex(spaced, v, 3, false);
        char a[32], b[32];
        std::snprintf(a, sizeof a, "%08X", v);
        std::snprintf(b, sizeof b, "%3X", v);
        EXPECT_EQ(padded, a);
        EXPECT_EQ(spaced, b);
    }
}

}  // namespace
}  // namespace tarvel
