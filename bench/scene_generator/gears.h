#pragma once

// A dense mechanical assembly: toothed wheels of many sizes at random places,
// their axes along x, y and z in turn, the whole turned off the axes. Every
// flat face is a fan of triangles on one plane, yet no plane is parallel to
// another wheel's, so nearly every plane crosses something and thousands of
// splitter scores lie close together: the search's hardest kind of scene.

#include <cstdint>

#include "scene_generator/scene_model.h"

namespace tarvel::scenegen {

inline constexpr int32_t kGearTriangles = 256;  // per wheel
inline constexpr int32_t kMaxGearTriangles = 5'000'000;

// About `triangles` triangles (whole wheels, at least one), the same bytes
// for the same seed. triangles in [1, kMaxGearTriangles].
GeneratedScene GenerateGears(int32_t triangles, uint64_t seed);

}  // namespace tarvel::scenegen
