#include "threedo/nodes.h"

// Reading records back: not written yet.

namespace tarvel {

std::unique_ptr<Node> createNodeOfType(uint32_t) { return nullptr; }

int Node4::Read(PrimReader&, uint32_t, GStringList&) { return 1; }
int Node5::Read(PrimReader&, uint32_t, GStringList&) { return 1; }
int Node6::Read(PrimReader&, uint32_t, GStringList&) { return 1; }
int NodeB::Read(PrimReader&, uint32_t, GStringList&) { return 1; }
int Node9::Read(PrimReader&, uint32_t, GStringList&) { return 1; }
int Node8::Read(PrimReader&, uint32_t, GStringList&) { return 1; }
int Node10::Read(PrimReader&, uint32_t, GStringList&) { return 1; }
int Node11::Read(PrimReader&, uint32_t, GStringList&) { return 1; }
int Node815::Read(PrimReader&, uint32_t, GStringList&) { return 1; }
int NodeCornerValues::Read(PrimReader&, uint32_t, GStringList&) { return 1; }
int NodeTextured::Read(PrimReader&, uint32_t, GStringList&) { return 1; }

}  // namespace tarvel
