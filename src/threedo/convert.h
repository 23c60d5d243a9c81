#pragma once

// The BSP tree turned into 3DO nodes. The order of the calls into the pools
// and the texture table fixes the indices and offsets the file records, so
// it is part of the behaviour: children before their parent's plane, the
// infront side first, onfront before onback, then the inback side.

#include <cstdint>
#include <memory>

#include "ase/scene.h"
#include "bsp/bsp_node.h"
#include "bsp/parallel/build_follow.h"
#include "bsp/poly_list.h"
#include "threedo/gstring_list.h"
#include "threedo/nodes.h"
#include "threedo/prim_stream.h"
#include "threedo/zertex_list.h"

namespace tarvel {

// The 3DO node for a BSP subtree, or null when it holds nothing to write.
// Recursive, as deep as the BSP tree: run it on a large stack. Throws
// CompileStopped at the next node once the current log's stop flag is set.
// The tree is left as it was. With prim, every finished subtree is written
// to it at once and the result is a SealedNode standing for the whole tree.
std::unique_ptr<Node> convertNode(BSPNode& node, ZertexList& vertices, ZertexList& planes,
                                  GStringList& mips, const Cupboard* materials,
                                  PrimStream* prim = nullptr);

// What becomes of a BSP node's polygons once the node is converted.
enum class ConvertedNodes { Keep, Free };

// The same while the tree is still being built: each node is awaited until
// the build publishes it, and its parts are read from what it published.
// With Free, each node's lists are freed once it is converted, which the
// build allows: of a node it has published it reads only the child pointers.
// Throws BuildAbandoned if the build fails.
std::unique_ptr<Node> convertNode(BSPNode& node, ZertexList& vertices, ZertexList& planes,
                                  GStringList& mips, const Cupboard* materials,
                                  const BuildFollow& follow, ConvertedNodes converted,
                                  PrimStream* prim = nullptr);

// The texture and polygon nodes for the polygons of one list: a Node5 for a
// single polygon, a Node4 for several, or null when it yields no primitive.
std::unique_ptr<Node> Create3DO(const PolyList& list, ZertexList& vertices, GStringList& mips,
                                const Cupboard* materials);

// The PlaneTable index of the plane of the list's first polygon (recomputed
// from its corners), or -1 for a missing or empty list and an all-zero plane.
int32_t planeIndexOf(const PolyList* list, ZertexList& planes);

// The colour word of a polygon without a material.
inline constexpr uint32_t kNoMaterialColourWord = 0xFFFF7FBF;

// The polygon's colour word: alpha 0xFF, blue, green, red in the low byte;
// kNoMaterialColourWord without a material.
uint32_t PolyColour(const Poly& poly, const Cupboard* materials);

}  // namespace tarvel
