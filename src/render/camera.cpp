#include "render/camera.h"

#include <algorithm>
#include <cmath>

namespace tarvel::render {

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kRadiansPerPixel = 0.008;

struct Angles {
    double yaw, pitch;
};

Angles AnglesOf(ViewAxis axis) {
    switch (axis) {
        case ViewAxis::Front:
            return {-kHalfPi, 0};
        case ViewAxis::Back:
            return {kHalfPi, 0};
        case ViewAxis::Left:
            return {2 * kHalfPi, 0};
        case ViewAxis::Right:
            return {0, 0};
        case ViewAxis::Top:
            return {-kHalfPi, kHalfPi};
        case ViewAxis::Bottom:
            return {-kHalfPi, -kHalfPi};
        case ViewAxis::Iso:
            break;
    }
    // The classic isometric direction: equal angles to all three axes.
    return {-kHalfPi / 2, std::atan(1.0 / std::sqrt(2.0))};
}

}  // namespace

void Camera::Fit(const Bounds& bounds, int width, int height) {
    target = bounds.Empty() ? Vec3{} : bounds.Centre();
    sceneRadius = std::max(bounds.Radius(), 1e-6);
    const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
    const double halfY = kFovY / 2;
    const double halfX = std::atan(std::tan(halfY) * aspect);
    const double half = std::min(halfX, halfY);
    distance = sceneRadius / std::sin(half) * 1.02;
}

void Camera::SetView(ViewAxis axis, const Bounds& bounds, int width, int height) {
    const Angles a = AnglesOf(axis);
    yaw = a.yaw;
    pitch = a.pitch;
    Fit(bounds, width, height);
}

void Camera::Orbit(double dxPixels, double dyPixels) {
    yaw -= dxPixels * kRadiansPerPixel;
    pitch = std::clamp(pitch + dyPixels * kRadiansPerPixel, -kHalfPi, kHalfPi);
}

void Camera::Pan(double dxPixels, double dyPixels, int height) {
    const CameraFrame f = Frame();
    const double perPixel = 2 * distance * std::tan(kFovY / 2) / std::max(height, 1);
    target = target - f.right * (dxPixels * perPixel) + f.up * (dyPixels * perPixel);
}

void Camera::Zoom(double steps) {
    distance = std::clamp(distance * std::pow(0.85, steps), sceneRadius * 1e-4, sceneRadius * 1e4);
}

CameraFrame Camera::Frame() const {
    const double cp = std::cos(pitch), sp = std::sin(pitch);
    const double cy = std::cos(yaw), sy = std::sin(yaw);
    const Vec3 towardEye{cp * cy, cp * sy, sp};
    CameraFrame f;
    f.eye = target + towardEye * distance;
    f.forward = towardEye * -1.0;
    // Taken from the yaw alone, so looking straight down stays defined.
    f.right = Vec3{-sy, cy, 0};
    f.up = Cross(f.right, f.forward);
    return f;
}

double Camera::Near() const {
    return std::max(distance * 1e-3, sceneRadius * 1e-5);
}

}  // namespace tarvel::render
