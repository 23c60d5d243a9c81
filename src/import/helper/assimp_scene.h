#pragma once

#include <string>

#include "import/scene_wire.h"

struct aiScene;

namespace tarvel::import {

// The library's scene as the helper sends it: every mesh use placed in world
// space by its node's transform, triangles only, materials with their
// colour and the bitmap name chosen.
WireScene MapScene(const aiScene& scene, const std::string& path);

}  // namespace tarvel::import
