#pragma once

// The degenerate scene for the BSP builder: N triangles, each turned and
// moved a little from the one before, all tangent to one sphere and facing
// out. Every triangle then has all the others behind its plane, beyond the
// side test's tolerance, so each node's splitter takes only itself and hands
// all the rest to one child: the tree is as deep as the scene.

#include <cstdint>

#include "scene_generator/scene_model.h"

namespace tarvel::scenegen {

inline constexpr int32_t kMaxStaircaseTriangles = 5'000'000;

// The sphere the triangles touch; it grows with N so that the gap between
// neighbours' planes stays well above the 1 mm tolerance.
double StaircaseRadius(int32_t triangles);

// triangles in [1, kMaxStaircaseTriangles].
GeneratedScene GenerateStaircase(int32_t triangles);

}  // namespace tarvel::scenegen
