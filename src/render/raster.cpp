#include "render/raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace tarvel::render {

namespace {

// 1/z of a line is scaled by this before the depth test: 0.15% of the
// distance in front of the surface it lies on.
constexpr double kLineBias = 1.0015;

bool Finite(const ScreenVertex& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.iz);
}

std::size_t Index(const FrameBuffer& fb, int x, int y) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(fb.width) +
           static_cast<std::size_t>(x);
}

// w(p) = A x + B y + C: positive inside for a counter-clockwise triangle
// in screen coordinates, equal to the area at the opposite corner.
struct Edge {
    double a, b, c;
    Edge(const ScreenVertex& p, const ScreenVertex& q)
        : a(double{p.y} - q.y), b(double{q.x} - p.x), c(double{p.x} * q.y - double{q.x} * p.y) {}
    double At(double x, double y) const { return a * x + b * y + c; }
};

struct PixelRange {
    int x0, x1, y0, y1;
};

// The pixels whose centres may lie inside, clamped to the picture; the float
// limits are clamped before they become integers.
bool Cover(const FrameBuffer& fb, const ScreenVertex* v, PixelRange& r) {
    const float minX = std::min({v[0].x, v[1].x, v[2].x});
    const float maxX = std::max({v[0].x, v[1].x, v[2].x});
    const float minY = std::min({v[0].y, v[1].y, v[2].y});
    const float maxY = std::max({v[0].y, v[1].y, v[2].y});
    if (maxX < 0 || maxY < 0 || minX > static_cast<float>(fb.width) ||
        minY > static_cast<float>(fb.height)) {
        return false;
    }
    r.x0 = static_cast<int>(std::floor(std::max(minX, 0.0f)));
    r.y0 = static_cast<int>(std::floor(std::max(minY, 0.0f)));
    r.x1 = std::min(fb.width - 1, static_cast<int>(std::ceil(maxX)));
    r.y1 = std::min(fb.height - 1, static_cast<int>(std::ceil(maxY)));
    return r.x0 <= r.x1 && r.y0 <= r.y1;
}

// Calls plot(index, depth) for every owned pixel whose centre is inside.
template <typename Plot>
void ScanTriangle(const FrameBuffer& fb, const ScreenTri& tri, const RowShare& rows, Plot plot) {
    ScreenVertex v[3] = {tri.v[0], tri.v[1], tri.v[2]};
    if (!Finite(v[0]) || !Finite(v[1]) || !Finite(v[2])) {
        return;
    }
    double area = (double{v[1].x} - v[0].x) * (double{v[2].y} - v[0].y) -
                  (double{v[2].x} - v[0].x) * (double{v[1].y} - v[0].y);
    if (std::fabs(area) < 1e-9) {
        return;
    }
    if (area < 0) {
        std::swap(v[1], v[2]);
        area = -area;
    }
    PixelRange r;
    if (!Cover(fb, v, r)) {
        return;
    }
    const Edge e0(v[1], v[2]), e1(v[2], v[0]), e2(v[0], v[1]);
    const double inv = 1.0 / area;
    const double z0 = v[0].iz * inv, z1 = v[1].iz * inv, z2 = v[2].iz * inv;
    for (int y = r.y0; y <= r.y1; ++y) {
        if (!rows.Owns(y)) {
            continue;
        }
        const double px = r.x0 + 0.5, py = y + 0.5;
        double w0 = e0.At(px, py), w1 = e1.At(px, py), w2 = e2.At(px, py);
        std::size_t i = Index(fb, r.x0, y);
        for (int x = r.x0; x <= r.x1; ++x, ++i) {
            if (w0 >= 0 && w1 >= 0 && w2 >= 0) {
                plot(i, static_cast<float>(w0 * z0 + w1 * z1 + w2 * z2));
            }
            w0 += e0.a;
            w1 += e1.a;
            w2 += e2.a;
        }
    }
}

// Liang-Barsky against the picture; t0..t1 is what is left of the segment.
bool ClipToPicture(const FrameBuffer& fb, const ScreenLine& line, double& t0, double& t1) {
    const double dx = double{line.b.x} - line.a.x, dy = double{line.b.y} - line.a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {line.a.x - 0.0, fb.width - 0.001 - line.a.x, line.a.y - 0.0,
                         fb.height - 0.001 - line.a.y};
    t0 = 0;
    t1 = 1;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    return t0 <= t1;
}

}  // namespace

void ClearRows(FrameBuffer& fb, Rgba background, const RowShare& rows) {
    for (int y = 0; y < fb.height; ++y) {
        if (!rows.Owns(y)) {
            continue;
        }
        const std::size_t start = Index(fb, 0, y);
        std::fill_n(fb.colour.begin() + static_cast<std::ptrdiff_t>(start), fb.width, background);
        std::fill_n(fb.depth.begin() + static_cast<std::ptrdiff_t>(start), fb.width, 0.0f);
    }
}

void FillTriangle(FrameBuffer& fb, const ScreenTri& tri, const RowShare& rows) {
    Rgba* colour = fb.colour.data();
    float* depth = fb.depth.data();
    ScanTriangle(fb, tri, rows, [&](std::size_t i, float z) {
        if (z > depth[i]) {
            depth[i] = z;
            colour[i] = tri.colour;
        }
    });
}

void BlendTriangle(FrameBuffer& fb, const ScreenTri& tri, float alpha, const RowShare& rows) {
    Rgba* colour = fb.colour.data();
    const float* depth = fb.depth.data();
    const float keep = 1.0f - alpha;
    ScanTriangle(fb, tri, rows, [&](std::size_t i, float z) {
        if (z <= depth[i]) {
            return;
        }
        const Rgba old = colour[i];
        uint8_t mixed[3];
        for (int k = 0; k < 3; ++k) {
            const float v = Channel(tri.colour, k) * alpha + Channel(old, k) * keep;
            mixed[k] = static_cast<uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
        }
        colour[i] = PackRgba(mixed[0], mixed[1], mixed[2]);
    });
}

void DrawLine(FrameBuffer& fb, const ScreenLine& line, const RowShare& rows) {
    double t0 = 0, t1 = 1;
    if (!Finite(line.a) || !Finite(line.b) || !ClipToPicture(fb, line, t0, t1)) {
        return;
    }
    const double dx = double{line.b.x} - line.a.x, dy = double{line.b.y} - line.a.y;
    const double diz = double{line.b.iz} - line.a.iz;
    const double length = std::max(std::fabs(dx), std::fabs(dy)) * (t1 - t0);
    const int steps = std::max(1, static_cast<int>(std::ceil(length)));
    for (int s = 0; s <= steps; ++s) {
        const double t = t0 + (t1 - t0) * s / steps;
        const int x = static_cast<int>(line.a.x + dx * t);
        const int y = static_cast<int>(line.a.y + dy * t);
        if (x < 0 || y < 0 || x >= fb.width || y >= fb.height || !rows.Owns(y)) {
            continue;
        }
        const std::size_t i = Index(fb, x, y);
        if ((line.a.iz + diz * t) * kLineBias >= fb.depth[i]) {
            fb.colour[i] = line.colour;
        }
    }
}

}  // namespace tarvel::render
