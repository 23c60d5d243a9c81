#include "scene_generator/assembly.h"

#include <cassert>
#include <string>

#include "scene_generator/det_math.h"
#include "scene_generator/prng.h"

namespace tarvel::scenegen {
namespace {

constexpr int32_t kSegments = kAssemblySegments;
constexpr int32_t kTorusRings = kAssemblyPartTriangles / (2 * kSegments);  // 16
constexpr int32_t kCylinderBands =
    (kAssemblyPartTriangles - 2 * kSegments) / (2 * kSegments);  // 15
static_assert(2 * kSegments * kTorusRings == kAssemblyPartTriangles);
static_assert(2 * kSegments * kCylinderBands + 2 * kSegments == kAssemblyPartTriangles);

// A part's own frame, turned by three random angles and moved to its place.
struct Frame {
    Vec3 origin;
    Vec3 u, v, w;

    Vec3 At(double x, double y, double z) const { return origin + u * x + v * y + w * z; }
};

Frame RandomFrame(SplitMix64& random, double half) {
    const double a = random.Range(0, kTwoPi), b = random.Range(0, kTwoPi),
                 c = random.Range(0, kTwoPi);
    const double ca = Cos(a), sa = Sin(a), cb = Cos(b), sb = Sin(b), cc = Cos(c), sc = Sin(c);
    // Rows of Rz(a) * Ry(b) * Rx(c), taken as the frame's axes.
    Frame f;
    f.u = {ca * cb, sa * cb, -sb};
    f.v = {ca * sb * sc - sa * cc, sa * sb * sc + ca * cc, cb * sc};
    f.w = {ca * sb * cc + sa * sc, sa * sb * cc - ca * sc, cb * cc};
    f.origin = {random.Range(-half, half), random.Range(-half, half), random.Range(-half, half)};
    return f;
}

// Quads between ring i and i + 1 of a grid of rings x kSegments vertices.
void AddBands(MeshObject& part, const int32_t* grid, int32_t rings, bool closed, int32_t t) {
    const int32_t bands = closed ? rings : rings - 1;
    for (int32_t i = 0; i < bands; ++i) {
        const int32_t* here = grid + i * kSegments;
        const int32_t* next = grid + ((i + 1) % rings) * kSegments;
        for (int32_t k = 0; k < kSegments; ++k) {
            const int32_t k1 = (k + 1) % kSegments;
            part.AddQuad({here[k], here[k1], next[k1], next[k]}, {t, t, t, t}, 1, 0);
        }
    }
}

void AddTorus(MeshObject& part, SplitMix64& random, const Frame& f) {
    const double major = random.Range(8, 24);
    const double minor = random.Range(1.5, major / 3);
    const int32_t t = part.AddTVert({0.0, 0.0});
    int32_t grid[kTorusRings * kSegments];
    for (int32_t i = 0; i < kTorusRings; ++i) {
        const double tube = kTwoPi * i / kTorusRings;
        const double r = major + minor * Cos(tube), z = minor * Sin(tube);
        for (int32_t k = 0; k < kSegments; ++k) {
            const double around = kTwoPi * k / kSegments;
            grid[i * kSegments + k] = part.AddVertex(f.At(r * Cos(around), r * Sin(around), z));
        }
    }
    AddBands(part, grid, kTorusRings, true, t);
}

void AddCylinder(MeshObject& part, SplitMix64& random, const Frame& f) {
    const double radius = random.Range(3, 14);
    const double length = random.Range(15, 70);
    const int32_t t = part.AddTVert({0.0, 0.0});
    constexpr int32_t kRings = kCylinderBands + 1;
    int32_t grid[kRings * kSegments];
    for (int32_t i = 0; i < kRings; ++i) {
        const double z = length * (static_cast<double>(i) / kCylinderBands - 0.5);
        for (int32_t k = 0; k < kSegments; ++k) {
            const double around = kTwoPi * k / kSegments;
            grid[i * kSegments + k] =
                part.AddVertex(f.At(radius * Cos(around), radius * Sin(around), z));
        }
    }
    AddBands(part, grid, kRings, false, t);
    const int32_t hub[2] = {part.AddVertex(f.At(0, 0, -length / 2)),
                            part.AddVertex(f.At(0, 0, length / 2))};
    const int32_t* top = grid + kCylinderBands * kSegments;
    for (int32_t k = 0; k < kSegments; ++k) {
        const int32_t k1 = (k + 1) % kSegments;
        part.AddTriangle({hub[0], grid[k1], grid[k], t, t, t, false, true, false, 2, 0});
        part.AddTriangle({hub[1], top[k], top[k1], t, t, t, false, true, false, 2, 0});
    }
}

// Half the side of the cube that holds `parts` parts at the density where a
// part crosses a few others: 2,000 cubic units each.
double HalfSide(int32_t parts) {
    const double volume = 2000.0 * parts;
    double side = 10.0;
    for (int i = 0; i < 60; ++i) {  // Newton on side^3 = volume, without libm
        side -= (side * side * side - volume) / (3 * side * side);
    }
    return side / 2;
}

}  // namespace

GeneratedScene GenerateAssembly(int32_t parts, uint64_t seed) {
    assert(parts >= 1 && parts <= kMaxAssemblyParts);
    GeneratedScene scene;
    scene.fileName = "assembly.max";
    scene.comment = "Tarvel assembly, " + std::to_string(parts) + " parts";
    const char* finishes[] = {"Steel", "Brass", "Rubber", "Paint"};
    for (int m = 0; m < 4; ++m) {
        const std::string name = finishes[m];
        const double grey = 0.3 + 0.15 * m;
        scene.materials.push_back({name, "C:\\maps\\" + name + ".tga", {grey, grey, grey}, {}});
    }
    SplitMix64 random(seed, "assembly");
    const double half = HalfSide(parts);
    for (int32_t i = 0; i < parts; ++i) {
        const bool torus = i % 2 == 0;
        MeshObject part((torus ? "Ring" : "Shaft") + std::to_string(i + 1), random.IntRange(0, 3),
                        {0.6, 0.6, 0.6});
        const Frame f = RandomFrame(random, half);
        if (torus) {
            AddTorus(part, random, f);
        } else {
            AddCylinder(part, random, f);
        }
        scene.objects.push_back(std::move(part));
    }
    return scene;
}

}  // namespace tarvel::scenegen
