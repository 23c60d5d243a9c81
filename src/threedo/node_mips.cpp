#include "log/log.h"
#include "threedo/gstring_list.h"
#include "threedo/nodes.h"

// Entering the texture names of a tree into a table: the texture nodes take
// the offsets of their names in that table, so a tree read from one file can
// be written with another file's names.

namespace tarvel {

namespace {

// The slots a class does not use are always empty, so one walk over all four
// serves every plane node.
void CollectSlots(Node& node, GStringList& strings) {
    for (std::unique_ptr<Node>* slot : {&node.a, &node.b, &node.c, &node.d}) {
        if (*slot) {
            (*slot)->CollectMips(strings);
        }
    }
}

}  // namespace

void Node4::CollectMips(GStringList& strings) {
    for (ChildRecord& record : children) {
        if (record.node) {
            record.node->CollectMips(strings);
        }
    }
}

void Node5::CollectMips(GStringList& strings) {
    if (a) {
        a->CollectMips(strings);
    }
    if (kind != 1 && kind != 5) {
        return;
    }
    // addName finds the name or adds it, so only a node without a name can
    // fail to be found.
    if (!name) {
        if (DebugDumps()) {
            LogConsole("Doh! - 5\n");
        }
        stringId = -1;
        return;
    }
    stringId = strings.addName(*name);
}

void Node6::CollectMips(GStringList& strings) {
    CollectSlots(*this, strings);
}
void NodeB::CollectMips(GStringList& strings) {
    CollectSlots(*this, strings);
}
void Node9::CollectMips(GStringList& strings) {
    CollectSlots(*this, strings);
}
void Node8::CollectMips(GStringList& strings) {
    CollectSlots(*this, strings);
}

void Node11::CollectMips(GStringList& strings) {
    for (Pair& pair : pairs) {
        if (pair.node) {
            pair.node->CollectMips(strings);
        }
    }
}

}  // namespace tarvel
