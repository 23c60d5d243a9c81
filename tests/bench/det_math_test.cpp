#include "scene_generator/det_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvel::scenegen {
namespace {

// Our own sine and cosine must agree with the C library to rounding, over the
// angles the generator feeds them (phases, accumulated spiral longitudes).
TEST(DetMath, sine_and_cosine_match_the_library_across_quadrants) {
    for (double x = -2000.0; x <= 2000.0; x += 0.0137) {
        ASSERT_NEAR(Sin(x), std::sin(x), 2e-15 * (1.0 + std::fabs(x))) << x;
        ASSERT_NEAR(Cos(x), std::cos(x), 2e-15 * (1.0 + std::fabs(x))) << x;
    }
    const double exact[][3] = {{0.0, 0.0, 1.0},
                               {kPi / 2, 1.0, 0.0},
                               {kPi, 0.0, -1.0},
                               {-kPi / 2, -1.0, 0.0},
                               {3 * kPi / 2, -1.0, 0.0}};
    for (const auto& row : exact) {
        EXPECT_NEAR(Sin(row[0]), row[1], 1e-15) << row[0];
        EXPECT_NEAR(Cos(row[0]), row[2], 1e-15) << row[0];
    }
}

TEST(DetMath, wrap_angle_lands_in_one_turn) {
    for (double x : {-100.0, -kTwoPi, -1e-3, 0.0, 1.0, kTwoPi, 7.5, 1234.5}) {
        const double w = WrapAngle(x);
        EXPECT_GE(w, 0.0) << x;
        EXPECT_LT(w, kTwoPi) << x;
        EXPECT_NEAR(Sin(w), Sin(x), 1e-12) << x;
    }
}

}  // namespace
}  // namespace tarvel::scenegen
