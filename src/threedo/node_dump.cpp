#include "log/log.h"
#include "threedo/nodes.h"

// The console dumps of the node tree. A dump only prints, so with the console
// off (or the debug switch cleared) nothing is walked at all.

namespace tarvel {

void Node4::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsole("Type   4 node, %5d children\n", childCount);
    for (const ChildRecord& record : children) {
        LogConsole("  [%8X]: ", record.offset);
        if (record.node) {
            record.node->Dump();
        } else {
            LogConsole("Null child\n");
        }
    }
}

void Node5::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    // printf would show a missing name as "(null)".
    LogConsole("[0x  5]: string id: %4d, '%s', class :%4d\n", stringId,
               name ? name->c_str() : "(null)", classId);
    if (a) {
        a->Dump();
    }
}

void Node6::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsole("Type   6, plane: %6d\n", plane);
    if (a) {
        a->Dump();
    }
}

void NodeB::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsole("Type   B, plane: %6d\n", plane);
    for (const Node* child : {a.get(), b.get()}) {
        if (child != nullptr) {
            child->Dump();
        }
    }
}

void Node9::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsole("Type   9, plane: %6d\n", plane);
    const Node* const slots[] = {a.get(), b.get(), c.get()};
    const char* const missing[] = {"a: NULL\n", "b: NULL\n", "c: NULL\n"};
    for (int i = 0; i < 3; ++i) {
        if (slots[i] != nullptr) {
            slots[i]->Dump();
        } else {
            LogConsole("%s", missing[i]);
        }
    }
}

void Node10::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsole("Type  10, %5d numbers.\n", childCount);
    for (uint32_t value : numbers) {
        LogConsole(" %10d, ", static_cast<int32_t>(value));
    }
    LogConsole(".\n");
}

void Node81F::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsole("[0x81F]: col 0x%08X, %3d vertices\n", col, vertexCount);
    int ordinal = 0;
    for (const Corner& corner : corners) {
        LogConsole("[%4d]: vtx: %6d, tx,ty: (%4.2f, %4.2f)\n", ordinal++, corner.vtx, corner.tx,
                   corner.ty);
    }
    LogConsole("\n");
}

void Node820::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsole("[0x820]: col 0x%08X, %3d vertices\n", col, vertexCount);
    int ordinal = 0;
    for (const Corner& corner : corners) {
        LogConsole("[%4d]: vtx: %6d, col: 0x%08X, tx,ty: (%4.2f, %4.2f)\n", ordinal++, corner.vtx,
                   corner.col, corner.tx, corner.ty);
    }
    LogConsole("\n");
}

}  // namespace tarvel
