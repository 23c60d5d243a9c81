#pragma once

// An assembly of separate curved parts that pass through one another, as a
// CAD export of an engine or a steel roof is: tori and cylinders at random
// places and angles, each its own object, none of their planes shared. Parts
// are scattered at a constant density, so doubling them doubles the volume
// and the number of crossings, not their crowding.

#include <cstdint>

#include "scene_generator/scene_model.h"

namespace tarvel::scenegen {

inline constexpr int32_t kAssemblySegments = 48;  // around each part
inline constexpr int32_t kAssemblyPartTriangles = 1536;
inline constexpr int32_t kMaxAssemblyParts = 5000;

// `parts` parts, alternately a torus and a capped cylinder of
// kAssemblyPartTriangles triangles each; the same bytes for the same seed.
// parts in [1, kMaxAssemblyParts].
GeneratedScene GenerateAssembly(int32_t parts, uint64_t seed);

}  // namespace tarvel::scenegen
