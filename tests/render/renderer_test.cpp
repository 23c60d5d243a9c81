#include <gtest/gtest.h>

#include <algorithm>

#include "render/renderer.h"
#include "render_fixtures.h"

namespace tarvel::render {
namespace {

using testing::Draw;
using testing::Square;
using testing::TopCamera;

constexpr Rgba kBackground = PackRgba(0, 0, 0);

RenderOptions Plain() {
    RenderOptions o;
    o.background = kBackground;
    return o;
}

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
};

Box Foreground(const FrameBuffer& fb) {
    Box box;
    for (int y = 0; y < fb.height; ++y) {
        for (int x = 0; x < fb.width; ++x) {
            if (fb.At(x, y) != kBackground) {
                box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x),
                       std::max(box.y1, y)};
            }
        }
    }
    return box;
}

TEST(Renderer, triangle_covers_its_inside_and_leaves_the_rest) {
    RenderMesh mesh;
    Poly tri = Square(0, 0, 10, 10, 0);
    tri.points.pop_back();  // (0,0) (10,0) (10,10): the lower right half
    mesh.AddPoly(tri, Rgb{1, 0, 0}, false);
    const Camera camera = TopCamera(mesh, 100, 100);
    const FrameBuffer fb = Draw(mesh, camera, 100, 100, Plain());
    // Screen y grows down, world y up: the half below the diagonal is x > y
    // in the picture's lower right.
    EXPECT_NE(fb.At(65, 60), kBackground);
    EXPECT_EQ(fb.At(35, 40), kBackground);
    EXPECT_EQ(fb.At(2, 2), kBackground);
    EXPECT_GT(Channel(fb.At(65, 60), 0), Channel(fb.At(65, 60), 2));
}

TEST(Renderer, nearer_polygon_wins_whatever_the_order) {
    for (const bool nearFirst : {true, false}) {
        RenderMesh mesh;
        const Poly nearSquare = Square(0, 0, 10, 10, 5);
        const Poly farSquare = Square(0, 0, 10, 10, 0);
        if (nearFirst) {
            mesh.AddPoly(nearSquare, Rgb{0, 1, 0}, false);
            mesh.AddPoly(farSquare, Rgb{1, 0, 0}, false);
        } else {
            mesh.AddPoly(farSquare, Rgb{1, 0, 0}, false);
            mesh.AddPoly(nearSquare, Rgb{0, 1, 0}, false);
        }
        const FrameBuffer fb = Draw(mesh, TopCamera(mesh, 64, 64), 64, 64, Plain());
        const Rgba centre = fb.At(32, 32);
        EXPECT_GT(Channel(centre, 1), 0) << nearFirst;
        EXPECT_EQ(Channel(centre, 0), 0) << nearFirst;
    }
}

TEST(Renderer, outline_polygon_draws_edges_not_inside) {
    RenderMesh mesh;
    mesh.AddPoly(Square(0, 0, 10, 10, 0), Rgb{1, 1, 1}, true);
    RenderOptions options = Plain();
    const FrameBuffer fb = Draw(mesh, TopCamera(mesh, 100, 100), 100, 100, options);
    EXPECT_EQ(fb.At(50, 50), kBackground);
    const Box box = Foreground(fb);
    ASSERT_GE(box.x1, 0);
    EXPECT_EQ(fb.At(box.x0, 50), options.outlineColour);
    EXPECT_EQ(fb.At(50, box.y1), options.outlineColour);
}

TEST(Renderer, edges_on_demand_darken_the_border) {
    RenderMesh mesh;
    mesh.AddPoly(Square(0, 0, 10, 10, 0), Rgb{1, 1, 1}, false);
    RenderOptions options = Plain();
    const FrameBuffer without = Draw(mesh, TopCamera(mesh, 100, 100), 100, 100, options);
    options.edges = true;
    const FrameBuffer with = Draw(mesh, TopCamera(mesh, 100, 100), 100, 100, options);
    const Box box = Foreground(with);
    EXPECT_EQ(with.At(box.x0, 50), options.edgeColour);
    EXPECT_EQ(with.At(box.x1, 50), options.edgeColour);
    EXPECT_NE(without.At(box.x0 + 1, 50), options.edgeColour);
    EXPECT_EQ(with.At(50, 50), without.At(50, 50));
}

TEST(Renderer, translucent_quad_mixes_with_what_lies_behind) {
    RenderMesh mesh;
    mesh.AddPoly(Square(0, 0, 10, 10, 0), Rgb{1, 0, 0}, false);
    RenderOptions options = Plain();
    const FrameBuffer solid = Draw(mesh, TopCamera(mesh, 64, 64), 64, 64, options);
    TranslucentQuad quad;
    quad.corners = {Vec3{-1, -1, 1}, Vec3{11, -1, 1}, Vec3{11, 11, 1}, Vec3{-1, 11, 1}};
    quad.colour = Rgb{0, 0, 1};
    quad.alpha = 0.5f;
    options.quad = quad;
    const FrameBuffer mixed = Draw(mesh, TopCamera(mesh, 64, 64), 64, 64, options);
    const Rgba before = solid.At(32, 32), after = mixed.At(32, 32);
    EXPECT_LT(Channel(after, 0), Channel(before, 0));
    EXPECT_GT(Channel(after, 0), 0);
    EXPECT_GT(Channel(after, 2), 100);
}

// Every view keeps the whole scene inside the picture and uses a fair part of it.
TEST(Renderer, axis_views_frame_the_scene) {
    RenderMesh mesh;
    mesh.AddPoly(Square(0, 0, 40, 10, 0), Rgb{1, 1, 1}, false);
    Poly wall = Square(0, 0, 40, 20, 0);
    for (APoint& p : wall.points) {
        p = APoint{p.x, 10, p.y};
    }
    wall.plane = Plane{0, 1, 0, -10};
    mesh.AddPoly(wall, Rgb{1, 1, 1}, false);
    const ViewAxis axes[] = {ViewAxis::Front, ViewAxis::Back,   ViewAxis::Left, ViewAxis::Right,
                             ViewAxis::Top,   ViewAxis::Bottom, ViewAxis::Iso};
    for (const ViewAxis axis : axes) {
        Camera camera;
        camera.SetView(axis, mesh.GetBounds(), 160, 120);
        const FrameBuffer fb = Draw(mesh, camera, 160, 120, Plain());
        const Box box = Foreground(fb);
        ASSERT_GE(box.x1, 0) << static_cast<int>(axis);
        EXPECT_GT(box.x0, 0) << static_cast<int>(axis);
        EXPECT_GT(box.y0, 0) << static_cast<int>(axis);
        EXPECT_LT(box.x1, 159) << static_cast<int>(axis);
        EXPECT_LT(box.y1, 119) << static_cast<int>(axis);
        EXPECT_GT(std::max(box.x1 - box.x0, box.y1 - box.y0), 40) << static_cast<int>(axis);
    }
}

TEST(Renderer, same_picture_with_any_number_of_threads) {
    RenderMesh mesh;
    for (int i = 0; i < 50; ++i) {
        mesh.AddPoly(Square(i, i * 0.5, i + 7, i * 0.5 + 9, i % 7), Rgb{0.1f * (i % 10), 0.5f, 1},
                     i % 9 == 0);
    }
    RenderOptions options = Plain();
    options.edges = true;
    Camera camera;
    camera.SetView(ViewAxis::Iso, mesh.GetBounds(), 97, 71);
    options.threads = 1;
    const FrameBuffer one = Draw(mesh, camera, 97, 71, options);
    for (const int threads : {2, 3, 8}) {
        options.threads = threads;
        EXPECT_EQ(Draw(mesh, camera, 97, 71, options).colour, one.colour) << threads;
    }
}

TEST(Renderer, camera_inside_the_scene_clips_at_the_near_plane) {
    RenderMesh mesh;
    mesh.AddPoly(Square(-100, -100, 100, 100, 0), Rgb{1, 1, 1}, false);
    mesh.AddPoly(Square(-100, -100, 100, 100, 0), Rgb{1, 1, 1}, true);
    Camera camera;
    camera.SetView(ViewAxis::Front, mesh.GetBounds(), 80, 60);
    camera.target = Vec3{0, 0, 1};
    camera.pitch = 0.3;
    camera.distance = 1;  // the eye is above the floor, the floor runs behind it
    const FrameBuffer fb = Draw(mesh, camera, 80, 60, Plain());
    EXPECT_NE(fb.At(40, 59), kBackground);  // the floor below the horizon
    EXPECT_EQ(fb.At(40, 0), kBackground);   // nothing above it
}

}  // namespace
}  // namespace tarvel::render
