#include "threedo/nodes.h"

// Texture collection: not written yet.

namespace tarvel {

void Node4::CollectMips(GStringList&) {}
void Node5::CollectMips(GStringList&) {}
void Node6::CollectMips(GStringList&) {}
void NodeB::CollectMips(GStringList&) {}
void Node9::CollectMips(GStringList&) {}
void Node8::CollectMips(GStringList&) {}
void Node11::CollectMips(GStringList&) {}

}  // namespace tarvel
