#pragma once

// The ground: a square height-field grid around the track, flat and below
// the road near it, rolling into hills further away.

#include <cstdint>

#include "scene_generator/prng.h"
#include "scene_generator/scene_model.h"
#include "scene_generator/track.h"

namespace tarvel::scenegen {

struct TerrainShape {
    double halfSize = 700.0;  // the grid covers [-halfSize, halfSize] in x and y
    double amplitude = 20.0;  // height of the highest hills
    double flatBand = 30.0;   // radial distance from the track kept flat
    double fx = 0, px = 0, fy = 0, py = 0, fd = 0, pd = 0;  // wave numbers and phases
};

// cells is the grid resolution AddTerrain will use: a coarse grid needs a
// wider flat band, or its long triangles would cut through the road.
TerrainShape RandomTerrainShape(SplitMix64& rng, const TrackShape& track, int32_t cells);

double TerrainHeight(const TerrainShape& terrain, const TrackShape& track, double x, double y);

// cells x cells quads, two triangles each.
void AddTerrain(MeshObject& object, const TerrainShape& terrain, const TrackShape& track,
                int32_t cells);

}  // namespace tarvel::scenegen
