#pragma once

// The steps Build takes at every node, in this order: PrepareNode,
// ChooseSplitter, SortPolys; then the counts of the sort decide whether the
// node repeats its parent's partition (Flatten) or its children are built.

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "ase/scene.h"
#include "bsp/bsp_builder.h"
#include "bsp/bsp_node.h"
#include "bsp/search/search_cache.h"

namespace tarvel {

// Computes every polygon's plane and, when the plan counts every side,
// counts how the others lie against it and dumps the list. A fast build
// passes its search cache, where its polygons have their entries.
void PrepareNode(BSPNode& node, const BuildPlan& plan, SearchCache* cache = nullptr);

// Computes the planes of the polygons; with a cache, only those whose plane
// it does not know yet (the values are the same either way).
void ComputePlanes(std::vector<Poly>& polys, SearchCache* cache);

// Sets the node's plane from the best splitter and returns its position;
// none, after the "ARSE!" message box, for an empty list. The first form
// reads the counters; the second searches when the plan did not fill them.
std::optional<std::size_t> ChooseSplitter(BSPNode& node);
std::optional<std::size_t> ChooseSplitter(BSPNode& node, const BuildPlan& plan, SearchCache* cache);
// The same from a splitter searched beforehand: the first polygon when
// there is none, the message box for an empty list.
std::optional<std::size_t> UseSplitter(BSPNode& node, std::optional<std::size_t> chosen);

// Hands every polygon to the child or on-plane list its side
// against the node's plane calls for, cutting those that cross it.
// Move leaves the node's own list with emptied polygons (still counted), for
// a node below the root: nothing reads its list after its sort, and its
// parent's sort added every polygon in it with the same materials, so their
// clipper marks stand and are not looked up again.
enum class PolyHandoff { Copy, Move };
// sides, when not empty, holds PolySide of every polygon against the plane,
// already computed. With a cache, the pieces of a cut get entries in it.
void SortPolys(BSPNode& node, const Cupboard* materials, PolyHandoff handoff = PolyHandoff::Copy,
               std::span<const Side> sides = {}, SearchCache* cache = nullptr);

// What the sort produced: the counts of infront, onfront, onback and inback.
PrevCounts SortedCounts(const BSPNode& node);

// The recursion guard's way out: the memo line and a flatList of copies of
// every non-clipper polygon the sort placed.
void Flatten(BSPNode& node, const PrevCounts& counts, const Cupboard* materials);

}  // namespace tarvel
