#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "threedo/atomic_file.h"
#include "threedo/gstring_list.h"
#include "threedo/nodes.h"
#include "threedo/prim_stream.h"
#include "threedo/zertex_list.h"

namespace tarvel {

inline constexpr uint32_t kMagic3DO = 0x33444F34;
inline constexpr uint32_t kTagPRIM = 0x5052494D;

// The bytes of a whole 3DO file, assembled in the save order: header with a
// length placeholder, XYZS, PLAN, STRN, the PRIM header, a root-offset
// placeholder and the node records; the two placeholders are patched last.
// Nullopt when the file would not fit the 32-bit length and offset fields.
// Write recurses as deep as the tree: run this on a large stack.
std::optional<std::vector<uint8_t>> Assemble3DO(Node& root, const ZertexList& vertices,
                                                const ZertexList& planes, const GStringList& mips);

// The same file for a conversion whose records are already in prim under
// root, written to file a section at a time: the file is never in memory
// whole. Its size, or nullopt when it would not fit the 32-bit length and
// offset fields (nothing is written then); Stream3DO says whether every
// write succeeded.
std::optional<uint64_t> Streamed3DOSize(const PrimStream& prim, const ZertexList& vertices,
                                        const ZertexList& planes, const GStringList& mips);
bool Stream3DO(AtomicFile& file, const SealedNode& root, const PrimStream& prim,
               const ZertexList& vertices, const ZertexList& planes, const GStringList& mips);

// The number of node records under and including root (iterative).
int64_t CountNodeRecords(const Node& root);

}  // namespace tarvel
