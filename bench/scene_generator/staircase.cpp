#include "scene_generator/staircase.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <string>

#include "scene_generator/det_math.h"

namespace tarvel::scenegen {
namespace {

// Points of a spiral from pole to pole, evenly spread (the longitude step
// keeps neighbours about one spacing apart along and across the turns).
constexpr double kSpiralStep = 3.6;
// Each triangle is turned by this much against the one before.
constexpr double kTwist = 0.37;
// Triangle size as a share of the spacing between neighbours: the plane of a
// triangle must clear its neighbours' corners, which come closer to it the
// larger the triangles are.
constexpr double kSizeShare = 0.25;

}  // namespace

double StaircaseRadius(int32_t triangles) {
    // Neighbours a spacing of theta = sqrt(4 pi / N) apart leave a gap of
    // about R theta^2 (1/2 - kSizeShare) = pi R / N between one's corners and
    // the other's plane: about 3 cm at R = N / 100.
    return std::max(50.0, 0.01 * triangles);
}

GeneratedScene GenerateStaircase(int32_t triangles) {
    assert(triangles >= 1 && triangles <= kMaxStaircaseTriangles);
    const double n = triangles;
    const double radius = StaircaseRadius(triangles);
    const double size = kSizeShare * radius * std::sqrt(4.0 * kPi / n);

    GeneratedScene scene;
    scene.fileName = "staircase.max";
    scene.comment = "Tarvel degenerate staircase, " + std::to_string(triangles) + " triangles";
    scene.materials.push_back({"Step", "C:\\maps\\step.tga", {0.6, 0.6, 0.6}, {}});
    MeshObject steps("Staircase", 0, {0.8, 0.6, 0.2});
    const int32_t t[3] = {steps.AddTVert({0.0, 0.0}), steps.AddTVert({1.0, 0.0}),
                          steps.AddTVert({0.5, 1.0})};
    double longitude = 0.0, twist = 0.0;
    for (int32_t k = 0; k < triangles; ++k) {
        const double h = 1.0 - (2.0 * k + 1.0) / n;  // never quite a pole
        const double ring = std::sqrt(1.0 - h * h);
        if (k > 0) {
            longitude = WrapAngle(longitude + kSpiralStep / (std::sqrt(n) * ring));
            twist = WrapAngle(twist + kTwist);
        }
        const double cl = Cos(longitude), sl = Sin(longitude);
        const Vec3 normal{ring * cl, ring * sl, h};
        const Vec3 east{-sl, cl, 0.0};
        const Vec3 north = Cross(normal, east);  // east x north = normal
        const Vec3 centre = normal * radius;
        int32_t v[3];
        for (int corner = 0; corner < 3; ++corner) {
            // Anticlockwise seen from outside, so the face looks outwards.
            const double angle = twist + corner * (kTwoPi / 3.0);
            v[corner] = steps.AddVertex(centre + (east * Cos(angle) + north * Sin(angle)) * size);
        }
        steps.AddTriangle({v[0], v[1], v[2], t[0], t[1], t[2], true, true, true, 1, 0});
    }
    scene.objects.push_back(std::move(steps));
    return scene;
}

}  // namespace tarvel::scenegen
