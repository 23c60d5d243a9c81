#include "log/fast_format.h"
#include "log/log.h"
#include "threedo/nodes.h"

// The console dumps of the node tree. A dump only prints, so with the console
// off (or the debug switch cleared) nothing is walked at all.

namespace tarvel {

namespace {

void DumpPlaneLine(const char* head, int32_t plane) {
    LogConsoleWrite([head, plane](std::string& out) {
        out.append(head);
        AppendInt(out, plane, 6);
        out.push_back('\n');
    });
}

void AppendPolyHeader(std::string& out, const char* head, uint32_t col, int64_t vertexCount) {
    out.append(head);
    AppendHex(out, col, 8, true);
    out.append(", ");
    AppendInt(out, vertexCount, 3);
    out.append(" vertices\n");
}

// "[ordinal]: vtx: index, "
void AppendCornerStart(std::string& out, int ordinal, int32_t vtx) {
    out.push_back('[');
    AppendInt(out, ordinal, 4);
    out.append("]: vtx: ");
    AppendInt(out, vtx, 6);
    out.append(", ");
}

void AppendTexture(std::string& out, double tx, double ty) {
    out.append("tx,ty: (");
    AppendFixed(out, tx, 4, 2);
    out.append(", ");
    AppendFixed(out, ty, 4, 2);
    out.append(")\n");
}

}  // namespace

void Node4::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsoleWrite([this](std::string& out) {
        out.append("Type   4 node, ");
        AppendInt(out, childCount, 5);
        out.append(" children\n");
    });
    for (const ChildRecord& record : children) {
        LogConsoleWrite([&record](std::string& out) {
            out.append("  [");
            AppendHex(out, record.offset, 8, false);
            out.append("]: ");
        });
        if (record.node) {
            record.node->Dump();
        } else {
            LogConsoleText("Null child\n");
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
    DumpPlaneLine("Type   6, plane: ", plane);
    if (a) {
        a->Dump();
    }
}

void NodeB::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    DumpPlaneLine("Type   B, plane: ", plane);
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
    DumpPlaneLine("Type   9, plane: ", plane);
    const Node* const slots[] = {a.get(), b.get(), c.get()};
    const char* const missing[] = {"a: NULL\n", "b: NULL\n", "c: NULL\n"};
    for (int i = 0; i < 3; ++i) {
        if (slots[i] != nullptr) {
            slots[i]->Dump();
        } else {
            LogConsoleText(missing[i]);
        }
    }
}

void Node10::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsoleWrite([this](std::string& out) {
        out.append("Type  10, ");
        AppendInt(out, childCount, 5);
        out.append(" numbers.\n");
        for (uint32_t value : numbers) {
            out.push_back(' ');
            AppendInt(out, static_cast<int32_t>(value), 10);
            out.append(", ");
        }
        out.append(".\n");
    });
}

void Node81F::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsoleWrite([this](std::string& out) {
        AppendPolyHeader(out, "[0x81F]: col 0x", col, vertexCount);
        int ordinal = 0;
        for (const Corner& corner : corners) {
            AppendCornerStart(out, ordinal++, corner.vtx);
            AppendTexture(out, corner.tx, corner.ty);
        }
        out.push_back('\n');
    });
}

void Node820::Dump() const {
    if (!LogConsoleActive()) {
        return;
    }
    LogConsoleWrite([this](std::string& out) {
        AppendPolyHeader(out, "[0x820]: col 0x", col, vertexCount);
        int ordinal = 0;
        for (const Corner& corner : corners) {
            AppendCornerStart(out, ordinal++, corner.vtx);
            out.append("col: 0x");
            AppendHex(out, corner.col, 8, true);
            out.append(", ");
            AppendTexture(out, corner.tx, corner.ty);
        }
        out.push_back('\n');
    });
}

}  // namespace tarvel
