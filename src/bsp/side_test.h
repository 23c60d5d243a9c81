#pragma once

// The one tolerance of every side test, and the one way a corner's distance
// to a plane becomes a side. The point test, the polygon test, the counting
// walk's corner pass and the box test of the hierarchy all take it from
// here, so they can never disagree on which side a corner lies.

#include <bit>
#include <cstdint>

namespace tarvel {

// A corner whose distance, rounded to float, is below this (or NaN) lies on
// the plane.
inline constexpr float kOnPlaneEpsilon = 0.001f;

// The same threshold widened to double, for tests that bound a distance
// before it is rounded: at or above it is in front (or behind, negated).
inline constexpr double kOnPlaneTolerance = static_cast<double>(kOnPlaneEpsilon);
// A distance counts as on the plane only if it rounds to a float below the
// threshold, so a bound that proves "on" must stay at or below the float
// just under it.
inline constexpr double kBelowOnPlaneTolerance =
    static_cast<double>(std::bit_cast<float>(std::bit_cast<uint32_t>(kOnPlaneEpsilon) - 1));

// Side bits of one corner: 1 in front (at least the tolerance), 2 behind,
// none on the plane or NaN. A polygon's bits are its corners' ORed.
inline constexpr uint8_t kCornerInFront = 1;
inline constexpr uint8_t kCornerInBack = 2;
inline constexpr uint8_t kCrossingBits = kCornerInFront | kCornerInBack;
inline uint8_t CornerSideBits(float dist) {
    return static_cast<uint8_t>((dist >= kOnPlaneEpsilon ? kCornerInFront : 0) |
                                (dist <= -kOnPlaneEpsilon ? kCornerInBack : 0));
}

}  // namespace tarvel
