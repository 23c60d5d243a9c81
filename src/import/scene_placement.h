#pragma once

#include <optional>

#include "ase/scene.h"
#include "import/scene_wire.h"

namespace tarvel::import {

// How an imported scene is set into the 3DO world, which is z-up like ASE.
struct Placement {
    std::optional<UpAxis> up;  // the file's up axis; none: what the helper found
    double scale = 1.0;
};

// A coordinate computed in double, narrowed to float; beyond the float range
// it becomes the infinity of its sign (the plain cast would be undefined).
float NarrowCoordinate(double value);

// One point set into the world: turned z-up when `up` is y, then scaled.
std::array<float, 3> Placed(std::array<float, 3> p, UpAxis up, double scale);

// Turns a y-up scene z-up with a quarter turn about x (a rotation, so
// handedness and facing are kept; the file's front, +z, ends up facing -y)
// and scales it.
void PlaceScene(WireScene& scene, const Placement& placement);

// The placed scene as the ASE parser would have left it: one GeomObject per
// wire object, one Material per wire material (id = its position), faces
// coloured by their material's diffuse colour, texture faces beside the faces.
void FillSceneModel(const WireScene& wire, Scene& scene, Cupboard& cupboard);

}  // namespace tarvel::import
