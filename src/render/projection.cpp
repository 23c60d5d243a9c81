#include "render/projection.h"

#include <array>
#include <cmath>

namespace tarvel::render {

namespace {

// A convex polygon never gains more than one corner per clipping plane.
constexpr int kMaxClipped = 64;

}  // namespace

Projection::Projection(const Camera& camera, int width, int height)
    : frame_(camera.Frame()),
      focal_((height * 0.5) / std::tan(Camera::kFovY / 2)),
      cx_(width * 0.5),
      cy_(height * 0.5),
      near_(camera.Near()) {}

Vec3 Projection::ToView(Vec3 p) const {
    const Vec3 d = p - frame_.eye;
    return {Dot(d, frame_.right), Dot(d, frame_.up), Dot(d, frame_.forward)};
}

ScreenVertex Projection::ToScreen(Vec3 v) const {
    const double iz = 1.0 / v.z;
    return {static_cast<float>(cx_ + v.x * focal_ * iz),
            static_cast<float>(cy_ - v.y * focal_ * iz), static_cast<float>(iz)};
}

void Projection::EmitPolygon(const Vec3* view, int count, Rgba colour,
                             std::vector<ScreenTri>& out) const {
    if (count < 3 || count > kMaxClipped - 1) {
        return;
    }
    std::array<Vec3, kMaxClipped> clipped;
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const Vec3 a = view[i];
        const Vec3 b = view[(i + 1) % count];
        const bool aIn = a.z >= near_;
        const bool bIn = b.z >= near_;
        if (aIn) {
            clipped[n++] = a;
        }
        if (aIn != bIn) {
            const double t = (near_ - a.z) / (b.z - a.z);
            clipped[n++] = a + (b - a) * t;
        }
    }
    if (n < 3) {
        return;
    }
    const ScreenVertex s0 = ToScreen(clipped[0]);
    ScreenVertex prev = ToScreen(clipped[1]);
    for (int i = 2; i < n; ++i) {
        const ScreenVertex next = ToScreen(clipped[i]);
        out.push_back(ScreenTri{{s0, prev, next}, colour});
        prev = next;
    }
}

void Projection::EmitLine(Vec3 a, Vec3 b, Rgba colour, std::vector<ScreenLine>& out) const {
    if (a.z < near_ && b.z < near_) {
        return;
    }
    if (a.z < near_ || b.z < near_) {
        const double t = (near_ - a.z) / (b.z - a.z);
        const Vec3 cut = a + (b - a) * t;
        (a.z < near_ ? a : b) = cut;
    }
    out.push_back(ScreenLine{ToScreen(a), ToScreen(b), colour});
}

Rgba Shade(const Rgb& colour, Vec3 normal, const CameraFrame& frame, float scale) {
    static const Vec3 kLight = Normalised(Vec3{-0.35, 0.55, -0.76});
    const Vec3 n{Dot(normal, frame.right), Dot(normal, frame.up), Dot(normal, frame.forward)};
    const double light = (0.3 + 0.7 * std::fabs(Dot(n, kLight))) * scale;
    return PackRgb(colour.r * light, colour.g * light, colour.b * light);
}

}  // namespace tarvel::render
