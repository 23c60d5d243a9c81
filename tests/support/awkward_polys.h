#pragma once

// Random polygons with the cases that trip up side counting mixed in.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

#include "bsp/geometry.h"
#include "support/bsp_fixtures.h"

namespace tarvel::testing {

class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    float Uniform(float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(Next() >> 40) / static_cast<float>(1 << 24);
    }

  private:
    uint64_t state_;
};

inline Poly Triangle(APoint a, APoint b, APoint c) {
    Poly poly;
    poly.points = {a, b, c};
    ComputePlane(poly);
    return poly;
}

// A scene with the awkward cases mixed in: coplanar copies with both
// windings, corners within the tolerance of other planes, degenerate and
// collinear triangles, and, when asked, non-finite coordinates.
inline std::vector<Poly> AwkwardScene(uint64_t seed, int count, float extent, bool nonFinite) {
    Random random(seed);
    std::vector<Poly> polys;
    while (static_cast<int>(polys.size()) < count) {
        const int kind = static_cast<int>(random.Next() % 10);
        const APoint a = At(random.Uniform(-extent, extent), random.Uniform(-extent, extent),
                            random.Uniform(-extent, extent));
        const float s = random.Uniform(0.01f, extent / 4);
        APoint b = At(a.x + s, a.y + random.Uniform(-s, s), a.z);
        APoint c = At(a.x, a.y + s, a.z + random.Uniform(-s, s));
        if (kind == 0 && !polys.empty()) {
            // Coplanar neighbour of the previous triangle, maybe reversed.
            Poly copy = polys.back();
            for (APoint& p : copy.points)
                p.x += 0.25f;
            if (random.Next() % 2)
                std::swap(copy.points[1], copy.points[2]);
            ComputePlane(copy);
            polys.push_back(copy);
            continue;
        }
        if (kind == 1)
            b = a;  // repeated corner
        if (kind == 2)
            c = At(2 * b.x - a.x, 2 * b.y - a.y, 2 * b.z - a.z);  // collinear
        if (kind == 3)
            c.z = a.z + 0.0005f;  // near the plane
        if (kind == 4 && nonFinite)
            b.x = std::numeric_limits<float>::infinity();
        if (kind == 5 && nonFinite)
            c.y = std::numeric_limits<float>::quiet_NaN();
        if (kind == 6)
            b.y = a.y, c.y = a.y;  // axis-aligned
        polys.push_back(Triangle(a, b, c));
    }
    return polys;
}

// Small triangles tangent to a sphere, facing out: every plane has all the
// others behind it, so nothing crosses and every score ties.
inline std::vector<Poly> Shell(int count, float radius) {
    std::vector<Poly> polys;
    const double golden = std::numbers::pi * (3 - std::sqrt(5.0));
    for (int i = 0; i < count; ++i) {
        const double z = 1 - 2 * (i + 0.5) / count, r = std::sqrt(1 - z * z);
        const double n[3] = {r * std::cos(golden * i), r * std::sin(golden * i), z};
        // Two tangent directions around the normal.
        const double t[3] = {-n[1], n[0], 0};
        const double tl = std::max(std::hypot(t[0], t[1]), 1e-9);
        const double u[3] = {t[0] / tl, t[1] / tl, 0};
        const double v[3] = {n[1] * u[2] - n[2] * u[1], n[2] * u[0] - n[0] * u[2],
                             n[0] * u[1] - n[1] * u[0]};
        const double s = 0.02 * radius;
        const auto corner = [&](double a, double b) {
            return At(static_cast<float>(radius * n[0] + s * (a * u[0] + b * v[0])),
                      static_cast<float>(radius * n[1] + s * (a * u[1] + b * v[1])),
                      static_cast<float>(radius * n[2] + s * (a * u[2] + b * v[2])));
        };
        polys.push_back(Triangle(corner(0, 0), corner(0, 1), corner(1, 0)));
    }
    return polys;
}

// The shell with a radial triangle through every few of its triangles: those
// cut the planes they pass through, so a node that peels one shell triangle
// off also hands its child pieces.
inline std::vector<Poly> SpikedShell(int count, float radius, int every) {
    std::vector<Poly> polys = Shell(count, radius);
    for (int i = 0; i < count; i += every) {
        const APoint& c = polys[static_cast<std::size_t>(i)].points[0];
        const auto scaled = [&](float s, float dz) { return At(c.x * s, c.y * s, c.z * s + dz); };
        polys.push_back(Triangle(scaled(0.9f, 0), scaled(1.1f, 0), scaled(1.0f, 0.05f * radius)));
    }
    return polys;
}

// Boxes whose faces are tiled with triangles, as mechanical parts and
// buildings come, overlapping so that some faces cut others. Axis-aligned,
// every triangle of a face has the face's plane bit for bit. Turned, and
// rounded as a scene's text rounds corners, the triangles of a face lie on
// planes a few last bits apart, parallel to the faces of every other box.
inline std::vector<Poly> TiledBoxes(uint64_t seed, int boxes, int tiles, bool turned = false) {
    Random random(seed);
    std::vector<Poly> polys;
    for (int box = 0; box < boxes; ++box) {
        float lo[3], size[3];
        for (int k = 0; k < 3; ++k) {
            lo[k] = random.Uniform(-10, 10);
            size[k] = random.Uniform(1, 8);
        }
        // Face k spans axes u and v at lo or lo + size along axis k.
        for (int k = 0; k < 3; ++k) {
            const int u = (k + 1) % 3, v = (k + 2) % 3;
            for (const bool high : {false, true}) {
                const auto corner = [&](int i, int j) {
                    float p[3];
                    p[k] = lo[k] + (high ? size[k] : 0);
                    p[u] = lo[u] + size[u] * static_cast<float>(i) / static_cast<float>(tiles);
                    p[v] = lo[v] + size[v] * static_cast<float>(j) / static_cast<float>(tiles);
                    if (!turned) {
                        return At(p[0], p[1], p[2]);
                    }
                    const auto rounded = [](double x) {
                        return static_cast<float>(std::round(x * 1e4) / 1e4);
                    };
                    const double c = std::cos(0.5), s = std::sin(0.5);
                    const double x = c * p[0] - s * p[1], y = s * p[0] + c * p[1];
                    return At(rounded(x), rounded(c * y - s * p[2]), rounded(s * y + c * p[2]));
                };
                for (int i = 0; i < tiles; ++i) {
                    for (int j = 0; j < tiles; ++j) {
                        APoint a = corner(i, j), b = corner(i + 1, j), c = corner(i + 1, j + 1),
                               d = corner(i, j + 1);
                        if (high) {  // facing out on both sides
                            std::swap(b, d);
                        }
                        polys.push_back(Triangle(a, b, c));
                        polys.push_back(Triangle(a, c, d));
                    }
                }
            }
        }
    }
    return polys;
}

// Turned tiled boxes inside a cloud of loose triangles that every plane cuts:
// the search must find the lowest score of all over thousands of planes
// that nearly coincide in groups.
inline std::vector<Poly> TurnedBoxesInACloud(uint64_t seed) {
    std::vector<Poly> polys = TiledBoxes(seed, 8, 5, true);
    for (Poly& poly : AwkwardScene(seed, 300, 12, false)) {
        polys.push_back(std::move(poly));
    }
    return polys;
}

}  // namespace tarvel::testing
