#include "scene_generator/props.h"

#include <algorithm>
#include <cmath>

#include "scene_generator/det_math.h"

namespace tarvel::scenegen {
namespace {

constexpr double kFloorHeight = 3.0;
constexpr double kBuildingClearance = 40.0;  // from the track, beyond its half-width
constexpr double kTreeClearance = 25.0;
constexpr int kPlacementAttempts = 200;

struct Building {
    Vec3 corners[4];  // footprint, anticlockwise seen from above
    double base, top;
    int32_t floors;
};

bool Clear(const std::vector<Footprint>& taken, double x, double y, double radius) {
    for (const Footprint& f : taken) {
        const double dx = f.x - x, dy = f.y - y, reach = f.radius + radius;
        if (dx * dx + dy * dy < reach * reach) {
            return false;
        }
    }
    return true;
}

// A random point of the terrain at least clearance (plus radius) off the track.
bool PickSpot(SplitMix64& rng, const Ground& ground, double clearance, double radius,
              const std::vector<Footprint>& taken, double& x, double& y) {
    const double half = ground.terrain.halfSize - radius;
    for (int attempt = 0; attempt < kPlacementAttempts; ++attempt) {
        x = rng.Range(-half, half);
        y = rng.Range(-half, half);
        if (RadialTrackDistance(ground.track, x, y) >= clearance + radius &&
            Clear(taken, x, y, radius)) {
            return true;
        }
    }
    return false;
}

int32_t Bays(double length, double bayWidth) {
    const double bays = std::floor(length / bayWidth + 0.5);
    return bays < 1.0 ? 1 : (bays > 1000.0 ? 1000 : static_cast<int32_t>(bays));
}

int64_t BuildingTriangles(const Building& b, double bayWidth) {
    int64_t walls = 0;
    for (int k = 0; k < 4; ++k) {
        walls += Bays(Length(b.corners[(k + 1) % 4] - b.corners[k]), bayWidth);
    }
    return 2 * walls * b.floors + 2;
}

// One wall as a grid of bays x floors; p00 -> p10 runs along the anticlockwise
// footprint and p00 -> p01 up, so the wall faces outwards.
void AddWall(MeshObject& object, Vec3 from, Vec3 to, const Building& b, double bayWidth) {
    const int32_t bays = Bays(Length(to - from), bayWidth);
    const double length = Length(to - from);
    const int32_t first = static_cast<int32_t>(object.vertices.size());
    const int32_t firstT = static_cast<int32_t>(object.tverts.size());
    const int32_t side = bays + 1;
    for (int32_t row = 0; row <= b.floors; ++row) {
        const double z = b.base + (b.top - b.base) * row / b.floors;
        for (int32_t col = 0; col <= bays; ++col) {
            const double s = static_cast<double>(col) / bays;
            object.AddVertex({from.x + (to.x - from.x) * s, from.y + (to.y - from.y) * s, z});
            object.AddTVert({length * s / kFloorHeight, (z - b.base) / kFloorHeight});
        }
    }
    for (int32_t row = 0; row < b.floors; ++row) {
        for (int32_t col = 0; col < bays; ++col) {
            const int32_t k = row * side + col;
            const int32_t v[4] = {first + k, first + k + 1, first + k + side + 1, first + k + side};
            const int32_t t[4] = {firstT + k, firstT + k + 1, firstT + k + side + 1,
                                  firstT + k + side};
            object.AddQuad(v, t, 0, kWallSubMaterial);
        }
    }
}

void AddRoof(MeshObject& object, const Building& b) {
    int32_t v[4], t[4];
    const Vec2 uv[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int k = 0; k < 4; ++k) {
        v[k] = object.AddVertex({b.corners[k].x, b.corners[k].y, b.top});
        t[k] = object.AddTVert(uv[k]);
    }
    object.AddQuad(v, t, 8, kRoofSubMaterial);
}

Building RandomBuilding(SplitMix64& rng, const Ground& ground, double x, double y, double halfWidth,
                        double halfDepth) {
    Building b;
    const double yaw = rng.Range(0.0, kTwoPi);
    const double c = Cos(yaw), s = Sin(yaw);
    const double local[4][2] = {{-halfWidth, -halfDepth},
                                {halfWidth, -halfDepth},
                                {halfWidth, halfDepth},
                                {-halfWidth, halfDepth}};
    double low = 1e30, high = -1e30;
    for (int k = 0; k < 4; ++k) {
        const double cx = x + c * local[k][0] - s * local[k][1];
        const double cy = y + s * local[k][0] + c * local[k][1];
        const double z = TerrainHeight(ground.terrain, ground.track, cx, cy);
        low = std::min(low, z);
        high = std::max(high, z);
        b.corners[k] = {cx, cy, 0.0};
    }
    b.floors = rng.IntRange(1, 4);
    // Sunk into the slope at its lowest corner, level roof above the highest.
    b.base = low - 0.5;
    b.top = high + kFloorHeight * b.floors;
    return b;
}

}  // namespace

std::vector<Footprint> AddBuildings(MeshObject& object, SplitMix64& rng, const Ground& ground,
                                    int64_t triangleBudget, double bayWidth) {
    std::vector<Footprint> placed;
    int64_t used = 0;
    for (;;) {
        const double halfWidth = rng.Range(3.0, 8.0), halfDepth = rng.Range(3.0, 8.0);
        const double radius = std::sqrt(halfWidth * halfWidth + halfDepth * halfDepth) + 2.0;
        double x = 0, y = 0;
        if (!PickSpot(rng, ground, TrackHalfWidth() + kBuildingClearance, radius, placed, x, y)) {
            break;
        }
        const Building b = RandomBuilding(rng, ground, x, y, halfWidth, halfDepth);
        const int64_t cost = BuildingTriangles(b, bayWidth);
        if (used + cost > triangleBudget) {
            break;
        }
        for (int k = 0; k < 4; ++k) {
            AddWall(object, b.corners[k], b.corners[(k + 1) % 4], b, bayWidth);
        }
        AddRoof(object, b);
        used += cost;
        placed.push_back({x, y, radius});
    }
    return placed;
}

void AddTrees(MeshObject& object, SplitMix64& rng, const Ground& ground, int64_t count,
              const std::vector<Footprint>& taken) {
    // The four texture corners every quad of a tree shares.
    const int32_t t0 = object.AddTVert({0, 0}), t1 = object.AddTVert({1, 0});
    const int32_t t2 = object.AddTVert({1, 1}), t3 = object.AddTVert({0, 1});
    const int32_t t[4] = {t0, t1, t2, t3};
    for (int64_t n = 0; n < count; ++n) {
        const double halfWidth = rng.Range(1.5, 2.5), height = rng.Range(5.0, 9.0);
        double x = 0, y = 0;
        // A map crowded with buildings still gets all its trees, in among them.
        if (!PickSpot(rng, ground, TrackHalfWidth() + kTreeClearance, halfWidth, taken, x, y)) {
            PickSpot(rng, ground, TrackHalfWidth() + kTreeClearance, halfWidth, {}, x, y);
        }
        const double base = TerrainHeight(ground.terrain, ground.track, x, y) - 0.3;
        const double yaw = rng.Range(0.0, kPi);
        const double c = Cos(yaw), s = Sin(yaw);
        for (const Vec3 across : {Vec3{c, s, 0}, Vec3{-s, c, 0}}) {
            const Vec3 a{x - across.x * halfWidth, y - across.y * halfWidth, base};
            const Vec3 b{x + across.x * halfWidth, y + across.y * halfWidth, base};
            const int32_t v[4] = {object.AddVertex(a), object.AddVertex(b),
                                  object.AddVertex(b + Vec3{0, 0, height}),
                                  object.AddVertex(a + Vec3{0, 0, height})};
            object.AddQuad(v, t, 16, 0);
        }
    }
}

}  // namespace tarvel::scenegen
