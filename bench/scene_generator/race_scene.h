#pragma once

// A realistic race-track scene of about a given number of triangles: road,
// kerbs, barriers and clipper walls around a banked loop, a terrain grid,
// buildings and trees, with textured materials and one material made of
// sub-materials.

#include <cstdint>

#include "scene_generator/scene_model.h"

namespace tarvel::scenegen {

inline constexpr int64_t kMinRaceTriangles = 1000;
inline constexpr int64_t kMaxRaceTriangles = 20'000'000;

// Material numbers, in the order of the material list.
enum RaceMaterial : int32_t {
    kAsphalt = 0,
    kKerb,
    kBarrier,
    kGrass,
    kTree,
    kBuilding,  // sub-materials: walls, roof
    kClipper,
    kRaceMaterialCount,
};

// targetTriangles in [kMinRaceTriangles, kMaxRaceTriangles]; the result is
// at most 3 triangles short of it. The same seed and target give the same
// scene everywhere.
GeneratedScene GenerateRaceScene(int64_t targetTriangles, uint64_t seed);

}  // namespace tarvel::scenegen
