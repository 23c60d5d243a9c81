#pragma once

// The steps Build takes at every node, in this order: PrepareNode,
// ChooseSplitter, SortPolys; then the counts of the sort decide whether the
// node repeats its parent's partition (Flatten) or its children are built.

#include <cstddef>
#include <optional>

#include "ase/scene.h"
#include "bsp/bsp_builder.h"
#include "bsp/bsp_node.h"

namespace tarvel {

// Whether the preparation fills every polygon's counters: for the literal
// strategy, and for any strategy while the log file takes the dumps, which
// show them. Otherwise the splitter is searched for without them.
bool CountsEverySide(BuildStrategy strategy);

// Recomputes every polygon's plane and, when CountsEverySide, counts how the
// others lie against it and dumps the list.
void PrepareNode(BSPNode& node, BuildStrategy strategy);

// Sets the node's plane from the best splitter and returns its position;
// none, after the "ARSE!" message box, for an empty list. The first form
// reads the counters; the second searches when they were not filled.
std::optional<std::size_t> ChooseSplitter(BSPNode& node);
std::optional<std::size_t> ChooseSplitter(BSPNode& node, BuildStrategy strategy);
// The same from a splitter searched beforehand: the first polygon when
// there is none, the message box for an empty list.
std::optional<std::size_t> UseSplitter(BSPNode& node, std::optional<std::size_t> chosen);

// Hands every polygon to the child or on-plane list its side
// against the node's plane calls for, cutting those that cross it.
// Move leaves the node's own list with emptied polygons (still counted), for
// a node whose list nothing reads after its sort.
enum class PolyHandoff { Copy, Move };
void SortPolys(BSPNode& node, const Cupboard* materials, PolyHandoff handoff = PolyHandoff::Copy);

// What the sort produced: the counts of infront, onfront, onback and inback.
PrevCounts SortedCounts(const BSPNode& node);

// The recursion guard's way out: the memo line and a flatList of copies of
// every non-clipper polygon the sort placed.
void Flatten(BSPNode& node, const PrevCounts& counts, const Cupboard* materials);

}  // namespace tarvel
