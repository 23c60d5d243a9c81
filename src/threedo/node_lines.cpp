#include "threedo/nodes.h"

// Line insertion: not written yet.

namespace tarvel {

void Node5::InsertLines(LineList&, const ZertexList&, ZertexList&) {}
void Node6::InsertLines(LineList&, const ZertexList&, ZertexList&) {}
void NodeB::InsertLines(LineList&, const ZertexList&, ZertexList&) {}
void Node9::InsertLines(LineList&, const ZertexList&, ZertexList&) {}
void Node8::InsertLines(LineList&, const ZertexList&, ZertexList&) {}

}  // namespace tarvel
