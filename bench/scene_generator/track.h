#pragma once

// The race track: a closed loop given in polar form around the origin, so
// that every direction meets it once and the scenery can tell its distance
// from the track cheaply. Cross-sections (road, kerbs, barriers, clipper
// walls) are swept along frames sampled on the loop, banked into the bends.

#include <cstdint>
#include <vector>

#include "scene_generator/prng.h"
#include "scene_generator/scene_model.h"

namespace tarvel::scenegen {

struct TrackShape {
    double radius = 500.0;                                // mean distance from the origin, metres
    double a2 = 0, cos2 = 1, sin2 = 0;                    // two-lobed wobble: amplitude, phase
    double a3 = 0, cos3 = 1, sin3 = 0;                    // three-lobed wobble
    double zMid = 2.0, z1 = 0, zp1 = 0, z2 = 0, zp2 = 0;  // elevation profile
};

TrackShape RandomTrackShape(SplitMix64& rng);

// The track's distance from the origin in the direction (c, s), a unit vector.
double TrackRadius(const TrackShape& shape, double c, double s);
// The largest TrackRadius over all directions cannot exceed this.
double TrackReach(const TrackShape& shape);
// Distance of (x, y) from the track, measured along the ray from the origin:
// an overestimate by at most the bends' obliquity, good enough for keeping
// scenery off the road.
double RadialTrackDistance(const TrackShape& shape, double x, double y);

struct TrackFrame {
    Vec3 centre;
    Vec3 forward;
    Vec3 left;         // across the road, banked
    Vec3 up;           // banked normal of the road
    double along = 0;  // distance travelled from frame 0
};

// segments + 1 frames; the last repeats the first's position with the full
// loop length, so texture coordinates run on across the seam.
std::vector<TrackFrame> SampleTrack(const TrackShape& shape, int32_t segments);

// One point of a cross-section: lateral offset (positive left), height.
struct ProfilePoint {
    double offset;
    double height;
};

// Sweeps a cross-section around the loop as quads. Walking the profile
// clockwise around the solid it bounds, in the (offset, height) plane, makes
// every face point outwards; a ground strip runs in increasing offset.
// Texture u runs across at uTile metres per repeat, v along at vTile.
void SweepProfile(MeshObject& object, const std::vector<TrackFrame>& frames,
                  const std::vector<ProfilePoint>& profile, double uTile, double vTile,
                  int32_t smoothing);

// Triangles one frame step adds for each track part.
inline constexpr int32_t kRoadLanes = 4;
inline constexpr int32_t kTrackTrianglesPerSegment = 2 * kRoadLanes + 8 + 12 + 4;

void AddRoad(MeshObject& object, const std::vector<TrackFrame>& frames);
void AddKerbs(MeshObject& object, const std::vector<TrackFrame>& frames);
void AddBarriers(MeshObject& object, const std::vector<TrackFrame>& frames);
void AddClipperWalls(MeshObject& object, const std::vector<TrackFrame>& frames);

// Half the width that the track parts occupy, clipper walls included.
double TrackHalfWidth();

}  // namespace tarvel::scenegen
