#pragma once

#include <functional>

#include "ase/scene.h"
#include "bsp/bsp_builder.h"
#include "bsp/bsp_node.h"
#include "bsp/poly_list.h"

namespace tarvel {

// BSPRoot and its build, as "BSP && save as 3DO..." makes them after fixing
// the bitmap names: a copy of every polygon, added with the materials so that
// clipper polygons are marked, the two memo lines, and the build from the
// root with no previous counts. The polygons themselves stay as they are.
// With follow, the build publishes its nodes for a thread that follows it.
// copied, when given, is called once the copies are made: from then on the
// build no longer reads polys. Returns what the recursion guard flattened.
FlatLists BuildBSPRoot(BSPNode& root, const PolyList& polys, const Cupboard* materials,
                       const BuildPlan& plan, const BuildFollow* follow = nullptr,
                       const std::function<void()>& copied = {});

}  // namespace tarvel
