#include "scene_generator/terrain.h"

#include <algorithm>

#include "scene_generator/det_math.h"

namespace tarvel::scenegen {
namespace {

// Below the lowest point the banked track reaches, so that the ground never
// pokes through the road, kerbs or barriers.
constexpr double kFlatLevel = -3.0;
// The narrowest flat band around the track, and the ramp up into the hills.
constexpr double kMinFlatBand = 30.0;
constexpr double kRamp = 90.0;
constexpr double kMargin = 100.0;
constexpr double kGrassTile = 25.0;

}  // namespace

TerrainShape RandomTerrainShape(SplitMix64& rng, const TrackShape& track, int32_t cells) {
    TerrainShape terrain;
    terrain.halfSize = TrackReach(track) + kMargin;
    // A grid triangle under the track has its corners within a cell diagonal
    // of it; the radial distance grows at most 1.7 times as fast as the true
    // one for these loops. Those corners must all be flat.
    const double diagonal = 1.4143 * 2.0 * terrain.halfSize / cells;
    terrain.flatBand = std::max(kMinFlatBand, TrackHalfWidth() * 1.3 + 1.7 * diagonal);
    terrain.amplitude = rng.Range(15.0, 30.0);
    terrain.fx = rng.Range(1.0 / 140.0, 1.0 / 80.0);
    terrain.px = rng.Range(0.0, kTwoPi);
    terrain.fy = rng.Range(1.0 / 160.0, 1.0 / 90.0);
    terrain.py = rng.Range(0.0, kTwoPi);
    terrain.fd = rng.Range(1.0 / 260.0, 1.0 / 180.0);
    terrain.pd = rng.Range(0.0, kTwoPi);
    return terrain;
}

double TerrainHeight(const TerrainShape& terrain, const TrackShape& track, double x, double y) {
    const double hills =
        0.5 + 0.25 * Sin(x * terrain.fx + terrain.px) * Cos(y * terrain.fy + terrain.py) +
        0.25 * Sin((x - y) * terrain.fd + terrain.pd);
    const double weight =
        Smoothstep(terrain.flatBand, terrain.flatBand + kRamp, RadialTrackDistance(track, x, y));
    return kFlatLevel + weight * terrain.amplitude * hills;
}

void AddTerrain(MeshObject& object, const TerrainShape& terrain, const TrackShape& track,
                int32_t cells) {
    const int32_t side = cells + 1;
    const int32_t first = static_cast<int32_t>(object.vertices.size());
    const int32_t firstT = static_cast<int32_t>(object.tverts.size());
    const double step = 2.0 * terrain.halfSize / cells;
    for (int32_t j = 0; j < side; ++j) {
        const double y = -terrain.halfSize + step * j;
        for (int32_t i = 0; i < side; ++i) {
            const double x = -terrain.halfSize + step * i;
            object.AddVertex({x, y, TerrainHeight(terrain, track, x, y)});
            object.AddTVert({x / kGrassTile, y / kGrassTile});
        }
    }
    // p00 -> p10 runs along +x and p00 -> p01 along +y, so every face looks up.
    for (int32_t j = 0; j < cells; ++j) {
        for (int32_t i = 0; i < cells; ++i) {
            const int32_t k = j * side + i;
            const int32_t corners[4] = {k, k + 1, k + side + 1, k + side};
            const int32_t v[4] = {first + corners[0], first + corners[1], first + corners[2],
                                  first + corners[3]};
            const int32_t t[4] = {firstT + corners[0], firstT + corners[1], firstT + corners[2],
                                  firstT + corners[3]};
            object.AddQuad(v, t, 4, 0);
        }
    }
}

}  // namespace tarvel::scenegen
