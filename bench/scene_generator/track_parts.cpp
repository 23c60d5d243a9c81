#include "scene_generator/track.h"

namespace tarvel::scenegen {
namespace {

// Cross-section of the track in metres from the centre line.
constexpr double kRoadHalf = 6.0;
constexpr double kKerbWidth = 0.8;
constexpr double kKerbSlope = 0.3;
constexpr double kKerbHeight = 0.12;
constexpr double kBarrierGap = 2.0;
constexpr double kBarrierThickness = 0.4;
constexpr double kBarrierHeight = 1.0;
constexpr double kClipperGap = 1.0;
constexpr double kClipperHeight = 6.0;

constexpr double kBarrierInner = kRoadHalf + kKerbWidth + kBarrierGap;
constexpr double kBarrierOuter = kBarrierInner + kBarrierThickness;
constexpr double kClipperOffset = kBarrierOuter + kClipperGap;

}  // namespace

double TrackHalfWidth() {
    return kClipperOffset;
}

void AddRoad(MeshObject& object, const std::vector<TrackFrame>& frames) {
    std::vector<ProfilePoint> profile;
    for (int32_t j = 0; j <= kRoadLanes; ++j) {
        profile.push_back({-kRoadHalf + 2.0 * kRoadHalf * j / kRoadLanes, 0.0});
    }
    SweepProfile(object, frames, profile, 2.0 * kRoadHalf, 2.0 * kRoadHalf, 1);
}

// A kerb rises from the road edge over a short slope to a flat top.
void AddKerbs(MeshObject& object, const std::vector<TrackFrame>& frames) {
    const double slopeEnd = kRoadHalf + kKerbSlope;
    const double outer = kRoadHalf + kKerbWidth;
    SweepProfile(object, frames,
                 {{-outer, kKerbHeight}, {-slopeEnd, kKerbHeight}, {-kRoadHalf, 0.0}}, 1.0, 2.0, 2);
    SweepProfile(object, frames, {{kRoadHalf, 0.0}, {slopeEnd, kKerbHeight}, {outer, kKerbHeight}},
                 1.0, 2.0, 2);
}

// Barriers: outer face, top and the face towards the road, on each side.
void AddBarriers(MeshObject& object, const std::vector<TrackFrame>& frames) {
    SweepProfile(object, frames,
                 {{-kBarrierOuter, 0.0},
                  {-kBarrierOuter, kBarrierHeight},
                  {-kBarrierInner, kBarrierHeight},
                  {-kBarrierInner, 0.0}},
                 2.0, 4.0, 3);
    SweepProfile(object, frames,
                 {{kBarrierInner, 0.0},
                  {kBarrierInner, kBarrierHeight},
                  {kBarrierOuter, kBarrierHeight},
                  {kBarrierOuter, 0.0}},
                 2.0, 4.0, 3);
}

// Invisible walls facing the road that keep cars on it.
void AddClipperWalls(MeshObject& object, const std::vector<TrackFrame>& frames) {
    SweepProfile(object, frames, {{-kClipperOffset, kClipperHeight}, {-kClipperOffset, 0.0}},
                 kClipperHeight, kClipperHeight, 0);
    SweepProfile(object, frames, {{kClipperOffset, 0.0}, {kClipperOffset, kClipperHeight}},
                 kClipperHeight, kClipperHeight, 0);
}

}  // namespace tarvel::scenegen
