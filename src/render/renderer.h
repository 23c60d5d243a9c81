#pragma once

// A software z-buffer renderer: flat-shaded polygons, depth-tested lines and
// one translucent quad, drawn by several threads that each own every n-th
// band of rows. It needs no display and no GPU.

#include <array>
#include <optional>
#include <vector>

#include "render/camera.h"
#include "render/frame_buffer.h"
#include "render/render_mesh.h"

namespace tarvel::render {

struct TranslucentQuad {
    std::array<Vec3, 4> corners;
    Rgb colour{0.3f, 0.6f, 1.0f};
    float alpha = 0.35f;
};

struct RenderOptions {
    bool edges = false;  // every polygon's edges as well as its fill
    Rgba background = PackRgba(46, 52, 64);
    Rgba edgeColour = PackRgba(20, 20, 24);
    Rgba outlineColour = PackRgba(255, 96, 208);  // outline-only polygons
    std::optional<TranslucentQuad> quad;
    int threads = 0;  // 0: as many as the machine has
};

// Projected shapes kept between frames, so a frame allocates nothing once the
// buffers have grown to the scene.
struct ScreenVertex {
    float x, y, iz;  // pixels and 1/z
};
struct ScreenTri {
    ScreenVertex v[3];
    Rgba colour;
};
struct ScreenLine {
    ScreenVertex a, b;
    Rgba colour;
};

class Renderer {
  public:
    void Draw(const RenderMesh& mesh, const Camera& camera, const RenderOptions& options,
              FrameBuffer& target);

  private:
    std::vector<Vec3> view_;
    std::vector<ScreenTri> tris_;
    std::vector<ScreenLine> lines_;
    std::vector<ScreenTri> quadTris_;
};

}  // namespace tarvel::render
