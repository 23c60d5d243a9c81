#pragma once

// Scenery standing on the terrain: buildings as boxes whose walls are divided
// into floors and bays, and trees as two crossed upright quads.

#include <cstdint>
#include <vector>

#include "scene_generator/prng.h"
#include "scene_generator/scene_model.h"
#include "scene_generator/terrain.h"
#include "scene_generator/track.h"

namespace tarvel::scenegen {

// Sub-material numbers of the building material.
inline constexpr int32_t kWallSubMaterial = 0;
inline constexpr int32_t kRoofSubMaterial = 1;

struct Ground {
    const TrackShape& track;
    const TerrainShape& terrain;
};

// A footprint already taken, so later props keep clear of it.
struct Footprint {
    double x, y, radius;
};

// Adds buildings until the next one would exceed triangleBudget (or no free
// lot is found). bayWidth sets how finely walls are divided. Returns the
// footprints placed.
std::vector<Footprint> AddBuildings(MeshObject& object, SplitMix64& rng, const Ground& ground,
                                    int64_t triangleBudget, double bayWidth);

inline constexpr int32_t kTrianglesPerTree = 4;

void AddTrees(MeshObject& object, SplitMix64& rng, const Ground& ground, int64_t count,
              const std::vector<Footprint>& taken);

}  // namespace tarvel::scenegen
