#pragma once

// From world space to the screen: view-space transform, clipping against the
// near plane and the perspective divide.

#include <vector>

#include "render/camera.h"
#include "render/renderer.h"

namespace tarvel::render {

class Projection {
  public:
    Projection(const Camera& camera, int width, int height);

    Vec3 ToView(Vec3 p) const;
    ScreenVertex ToScreen(Vec3 view) const;
    double Near() const { return near_; }
    const CameraFrame& Frame() const { return frame_; }

    // Clips a convex view-space polygon to the near plane and appends its fan
    // of screen triangles.
    void EmitPolygon(const Vec3* view, int count, Rgba colour, std::vector<ScreenTri>& out) const;
    // Clips a view-space segment to the near plane and appends what is left.
    void EmitLine(Vec3 a, Vec3 b, Rgba colour, std::vector<ScreenLine>& out) const;

  private:
    CameraFrame frame_;
    double focal_;
    double cx_, cy_;
    double near_;
};

// Lambert shading with a light over the viewer's left shoulder; both sides
// of a polygon are lit alike.
Rgba Shade(const Rgb& colour, Vec3 normal, const CameraFrame& frame, float scale = 1.0f);

}  // namespace tarvel::render
