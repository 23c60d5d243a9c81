#include "scene_generator/gears.h"

#include <algorithm>
#include <cassert>
#include <string>

#include "scene_generator/det_math.h"
#include "scene_generator/prng.h"

namespace tarvel::scenegen {
namespace {

constexpr int32_t kSegments = kGearTriangles / 4;  // a side quad and two cap triangles each
constexpr int32_t kToothSegments = 4;
constexpr double kToothHeight = 1.12;  // tip radius over root radius

// The assembly's turn: about z, then y, then x, by angles no face survives.
Vec3 Turn(Vec3 p) {
    const double cz = Cos(0.41), sz = Sin(0.41);
    const double cy = Cos(0.73), sy = Sin(0.73);
    const double cx = Cos(0.29), sx = Sin(0.29);
    p = {cz * p.x - sz * p.y, sz * p.x + cz * p.y, p.z};
    p = {cy * p.x + sy * p.z, p.y, -sy * p.x + cy * p.z};
    return {p.x, cx * p.y - sx * p.z, sx * p.y + cx * p.z};
}

// The wheel's own frame: (u, v) across its axis, w along it.
Vec3 Place(Vec3 centre, int axis, double u, double v, double w) {
    const Vec3 local = axis == 0 ? Vec3{w, u, v} : axis == 1 ? Vec3{u, w, v} : Vec3{u, v, w};
    return Turn(centre + local);
}

void AddWheel(MeshObject& wheel, SplitMix64& random, int axis) {
    const Vec3 centre{random.Range(-100, 100), random.Range(-100, 100), random.Range(-100, 100)};
    const double radius = random.Range(5, 30);
    const double height = random.Range(2, 40);
    const int32_t t = wheel.AddTVert({0.0, 0.0});
    int32_t rim[kSegments][2];
    for (int32_t k = 0; k < kSegments; ++k) {
        const double angle = kTwoPi * k / kSegments;
        const double r = (k / kToothSegments) % 2 == 0 ? radius : radius * kToothHeight;
        for (int end = 0; end < 2; ++end) {
            rim[k][end] =
                wheel.AddVertex(Place(centre, axis, r * Cos(angle), r * Sin(angle), end * height));
        }
    }
    const int32_t hub[2] = {wheel.AddVertex(Place(centre, axis, 0, 0, 0)),
                            wheel.AddVertex(Place(centre, axis, 0, 0, height))};
    for (int32_t k = 0; k < kSegments; ++k) {
        const int32_t next = (k + 1) % kSegments;
        const int32_t a = rim[k][0], b = rim[next][0], c = rim[next][1], d = rim[k][1];
        wheel.AddTriangle({a, b, c, t, t, t, true, true, false, 1, 0});
        wheel.AddTriangle({a, c, d, t, t, t, false, true, true, 1, 0});
        wheel.AddTriangle({hub[0], b, a, t, t, t, false, true, false, 2, 0});
        wheel.AddTriangle({hub[1], d, c, t, t, t, false, true, false, 2, 0});
    }
}

}  // namespace

GeneratedScene GenerateGears(int32_t triangles, uint64_t seed) {
    assert(triangles >= 1 && triangles <= kMaxGearTriangles);
    const int32_t wheels = std::max(1, (triangles + kGearTriangles / 2) / kGearTriangles);
    GeneratedScene scene;
    scene.fileName = "gears.max";
    scene.comment = "Tarvel gear assembly, " + std::to_string(wheels) + " wheels";
    scene.materials.push_back({"Metal", "C:\\maps\\metal.tga", {0.5, 0.5, 0.5}, {}});
    SplitMix64 random(seed, "gears");
    for (int32_t i = 0; i < wheels; ++i) {
        MeshObject wheel("Gear" + std::to_string(i + 1), 0, {0.6, 0.6, 0.6});
        AddWheel(wheel, random, i % 3);
        scene.objects.push_back(std::move(wheel));
    }
    return scene;
}

}  // namespace tarvel::scenegen
