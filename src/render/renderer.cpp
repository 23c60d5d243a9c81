#include "render/renderer.h"

#include "render/parallel.h"
#include "render/projection.h"
#include "render/raster.h"

namespace tarvel::render {

namespace {

void TransformPoints(const RenderMesh& mesh, const Projection& projection, int threads,
                     std::vector<Vec3>& view) {
    view.resize(mesh.points.size());
    RunOnThreads(threads, [&](int t) {
        const std::size_t end = PartBegin(view.size(), t + 1, threads);
        for (std::size_t i = PartBegin(view.size(), t, threads); i < end; ++i) {
            view[i] = projection.ToView(mesh.points[i]);
        }
    });
}

void EmitShapes(const RenderMesh& mesh, const std::vector<Vec3>& view, const Projection& projection,
                const RenderOptions& options, std::vector<ScreenTri>& tris,
                std::vector<ScreenLine>& lines) {
    tris.clear();
    lines.clear();
    for (const MeshPoly& poly : mesh.polys) {
        const Vec3* corners = view.data() + poly.first;
        const int n = static_cast<int>(poly.count);
        if (!poly.outline) {
            const Rgba shaded = Shade(poly.colour, poly.normal, projection.Frame());
            projection.EmitPolygon(corners, n, shaded, tris);
        }
        if (poly.outline || options.edges) {
            const Rgba colour = poly.outline ? options.outlineColour : options.edgeColour;
            for (int i = 0; i < n; ++i) {
                projection.EmitLine(corners[i], corners[(i + 1) % n], colour, lines);
            }
        }
    }
    for (const MeshLine& line : mesh.lines) {
        projection.EmitLine(projection.ToView(line.a), projection.ToView(line.b), line.colour,
                            lines);
    }
}

void EmitQuad(const TranslucentQuad& quad, const Projection& projection,
              std::vector<ScreenTri>& tris, std::vector<ScreenLine>& lines) {
    Vec3 view[4];
    for (int i = 0; i < 4; ++i) {
        view[i] = projection.ToView(quad.corners[static_cast<std::size_t>(i)]);
    }
    projection.EmitPolygon(view, 4, PackRgb(quad.colour.r, quad.colour.g, quad.colour.b), tris);
    for (int i = 0; i < 4; ++i) {
        projection.EmitLine(view[i], view[(i + 1) % 4],
                            PackRgb(quad.colour.r, quad.colour.g, quad.colour.b), lines);
    }
}

}  // namespace

void Renderer::Draw(const RenderMesh& mesh, const Camera& camera, const RenderOptions& options,
                    FrameBuffer& target) {
    if (target.width <= 0 || target.height <= 0) {
        return;
    }
    const int threads = ThreadCount(options.threads);
    const Projection projection(camera, target.width, target.height);
    TransformPoints(mesh, projection, threads, view_);
    EmitShapes(mesh, view_, projection, options, tris_, lines_);
    quadTris_.clear();
    if (options.quad) {
        EmitQuad(*options.quad, projection, quadTris_, lines_);
    }
    const float alpha = options.quad ? options.quad->alpha : 0.0f;
    RunOnThreads(threads, [&](int t) {
        const RowShare rows(t, threads);
        ClearRows(target, options.background, rows);
        for (const ScreenTri& tri : tris_) {
            FillTriangle(target, tri, rows);
        }
        for (const ScreenLine& line : lines_) {
            DrawLine(target, line, rows);
        }
        for (const ScreenTri& tri : quadTris_) {
            BlendTriangle(target, tri, alpha, rows);
        }
    });
}

}  // namespace tarvel::render
