#pragma once

// An orbiting perspective camera over a Z-up scene: it looks at a target from
// a distance, turned by yaw about the Z axis and tilted by pitch.

#include "render/vec3.h"

namespace tarvel::render {

enum class ViewAxis { Front, Back, Left, Right, Top, Bottom, Iso };

// The camera's frame: where it is and where its screen axes point.
struct CameraFrame {
    Vec3 eye;
    Vec3 right, up, forward;
};

class Camera {
  public:
    static constexpr double kFovY = 0.7853981633974483;  // 45 degrees

    // Centres the scene and backs off until its bounding sphere fits the
    // narrower side of a width x height view.
    void Fit(const Bounds& bounds, int width, int height);
    // Looks along an axis (or the iso diagonal) and fits.
    void SetView(ViewAxis axis, const Bounds& bounds, int width, int height);

    // Mouse moves in pixels.
    void Orbit(double dxPixels, double dyPixels);
    void Pan(double dxPixels, double dyPixels, int height);
    // Positive steps move closer.
    void Zoom(double steps);

    CameraFrame Frame() const;
    // Distance of the near clipping plane in front of the eye.
    double Near() const;

    Vec3 target;
    double yaw = -0.7853981633974483;   // radians about Z; 0 looks along -X
    double pitch = 0.6154797086703873;  // radians above the horizon
    double distance = 10;
    double sceneRadius = 1;
};

}  // namespace tarvel::render
