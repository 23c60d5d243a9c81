#pragma once

// Small meshes and a renderer call for the render tests.

#include "bsp/geometry.h"
#include "render/renderer.h"

namespace tarvel::render::testing {

inline Poly Square(double x0, double y0, double x1, double y1, double z) {
    Poly poly;
    const auto p = [z](double x, double y) {
        return APoint{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    };
    poly.points = {p(x0, y0), p(x1, y0), p(x1, y1), p(x0, y1)};
    poly.plane = Plane{0, 0, 1, static_cast<float>(-z)};
    return poly;
}

inline FrameBuffer Draw(const RenderMesh& mesh, const Camera& camera, int w, int h,
                        RenderOptions options = {}) {
    FrameBuffer fb;
    fb.Resize(w, h);
    Renderer().Draw(mesh, camera, options, fb);
    return fb;
}

// Looks straight down on the mesh, framed.
inline Camera TopCamera(const RenderMesh& mesh, int w, int h) {
    Camera camera;
    camera.SetView(ViewAxis::Top, mesh.GetBounds(), w, h);
    return camera;
}

}  // namespace tarvel::render::testing
