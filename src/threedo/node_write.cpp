#include "threedo/node_write_support.h"
#include "threedo/nodes.h"

// Writing the group, texture and plane nodes. Every Write writes its
// children's subtrees first, in child order, then its own record; the record
// layouts are given beside each Write.

namespace tarvel {

using node_write::Cursor;
using node_write::EntryCount;
using node_write::kAbsent;
using node_write::ListedTreeSize;
using node_write::PoolIndex;
using node_write::RecordCheck;
using node_write::WriteChild;
using node_write::WriteListed;

namespace {

uint64_t SlotsTreeSize(const Node& node, int slotCount) {
    const Node* const slots[] = {node.a.get(), node.b.get(), node.c.get(), node.d.get()};
    uint64_t size = node.RecordSize();
    for (int i = 0; i < slotCount; ++i) {
        if (slots[i] != nullptr) {
            size += slots[i]->TreeSize();
        }
    }
    return size;
}

// Plane node records: code, plane index, one child offset per slot
// (6: a; 0xB: a, b; 9: a, b, c; 8: a, b, c, d).
uint32_t WritePlaneNode(PlaneNode& node, int slotCount, uint32_t absent, ByteWriter& out,
                        uint32_t start, const ZertexList& vertices, const ZertexList& planes) {
    RecordCheck check(out, start);
    Cursor cursor{out, start, vertices, planes};
    Node* const slots[] = {node.a.get(), node.b.get(), node.c.get(), node.d.get()};
    uint32_t offsets[4] = {absent, absent, absent, absent};
    for (int i = 0; i < slotCount; ++i) {
        offsets[i] = WriteChild(slots[i], cursor, absent);
    }
    check.AtRecord(cursor.cur);
    out.writeU32(static_cast<uint32_t>(node.type));
    out.writeU32(PoolIndex(planes, node.plane));
    for (int i = 0; i < slotCount; ++i) {
        out.writeU32(offsets[i]);
    }
    check.AfterRecord(node.RecordSize());
    return cursor.cur;
}

}  // namespace

void Node4::AppendChild(std::unique_ptr<Node> node) {
    // The ordinal stands in the offset field until Write replaces it.
    children.push_back(ChildRecord{static_cast<uint32_t>(childCount), std::move(node)});
    ++childCount;
}

uint32_t Node4::RecordSize() const {
    return 8 + 4 * EntryCount(children, childCount);
}

uint64_t Node4::TreeSize() const {
    return ListedTreeSize(RecordSize(), children);
}

// 4, n, n child offsets (0xFFFFFFFF for a record without a node).
uint32_t Node4::Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                      const ZertexList& planes) {
    RecordCheck check(out, start);
    Cursor cursor{out, start, vertices, planes};
    WriteListed(children, cursor);
    check.AtRecord(cursor.cur);
    const uint32_t entries = EntryCount(children, childCount);
    out.writeU32(4);
    out.writeU32(entries);
    for (const ChildRecord& record : children) {
        out.writeU32(record.node ? record.offset : kAbsent);
    }
    for (std::size_t i = children.size(); i < entries; ++i) {
        out.writeU32(kAbsent);
    }
    check.AfterRecord(RecordSize());
    return cursor.cur;
}

// A kind outside 1, 4 and 5 has no layout of its own; it is written as the
// three common words only, and RecordSize agrees.
uint32_t Node5::RecordSize() const {
    switch (kind) {
        case 1:
        case 4:
            return 16;
        case 5:
            return 20;
        default:
            return 12;
    }
}

uint64_t Node5::TreeSize() const {
    return SlotsTreeSize(*this, 1);
}

// 5, child offset (0 when there is none), kind; then 1: stringId;
// 4: classId; 5: stringId, classId.
uint32_t Node5::Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                      const ZertexList& planes) {
    RecordCheck check(out, start);
    Cursor cursor{out, start, vertices, planes};
    const uint32_t child = WriteChild(a.get(), cursor, 0);
    check.AtRecord(cursor.cur);
    out.writeU32(5);
    out.writeU32(child);
    out.writeU32(static_cast<uint32_t>(kind));
    if (kind == 1 || kind == 5) {
        out.writeU32(static_cast<uint32_t>(stringId));
    }
    if (kind == 4 || kind == 5) {
        out.writeU32(static_cast<uint32_t>(classId));
    }
    check.AfterRecord(RecordSize());
    return cursor.cur;
}

// The single child of a Node6 is written as 0 when absent, not 0xFFFFFFFF.
uint32_t Node6::Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                      const ZertexList& planes) {
    return WritePlaneNode(*this, 1, 0, out, start, vertices, planes);
}

uint32_t NodeB::Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                      const ZertexList& planes) {
    return WritePlaneNode(*this, 2, kAbsent, out, start, vertices, planes);
}

uint32_t Node9::Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                      const ZertexList& planes) {
    return WritePlaneNode(*this, 3, kAbsent, out, start, vertices, planes);
}

uint32_t Node8::Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                      const ZertexList& planes) {
    return WritePlaneNode(*this, 4, kAbsent, out, start, vertices, planes);
}

uint64_t Node6::TreeSize() const {
    return SlotsTreeSize(*this, 1);
}
uint64_t NodeB::TreeSize() const {
    return SlotsTreeSize(*this, 2);
}
uint64_t Node9::TreeSize() const {
    return SlotsTreeSize(*this, 3);
}
uint64_t Node8::TreeSize() const {
    return SlotsTreeSize(*this, 4);
}

}  // namespace tarvel
