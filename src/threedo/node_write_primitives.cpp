#include <cmath>

#include "threedo/node_write_support.h"
#include "threedo/nodes.h"

// Writing the list, keyed and primitive nodes. Vertex fields are written as
// the index of their VertexTable record.

namespace tarvel {

using node_write::Cursor;
using node_write::EntryCount;
using node_write::kAbsent;
using node_write::ListedTreeSize;
using node_write::PoolIndex;
using node_write::RecordCheck;
using node_write::WriteListed;

namespace {

// The corner lists decide how many corners a primitive record holds; the
// count fields agree with them in every tree the conversion or a read makes.
uint32_t Count(std::size_t listed) {
    return static_cast<uint32_t>(listed);
}

}  // namespace

uint32_t Node10::RecordSize() const {
    return 8 + 4 * Count(numbers.size());
}

// 0x10, n, n values.
uint32_t Node10::Write(ByteWriter& out, uint32_t start, const ZertexList&, const ZertexList&) {
    RecordCheck check(out, start);
    check.AtRecord(start);
    out.writeU32(0x10);
    out.writeU32(Count(numbers.size()));
    for (uint32_t value : numbers) {
        out.writeU32(value);
    }
    check.AfterRecord(RecordSize());
    return start;
}

// A kept count larger than the pair list pads with empty pairs, as Node4 does.
uint32_t Node11::RecordSize() const {
    return 20 + 8 * EntryCount(pairs, childCount);
}

uint64_t Node11::TreeSize() const {
    return ListedTreeSize(RecordSize(), pairs);
}

// 0x11, param0, param1, param2, n, n x (float key, child offset); a pair
// without a node is (0.0, 0xFFFFFFFF).
uint32_t Node11::Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                       const ZertexList& planes) {
    RecordCheck check(out, start);
    Cursor cursor{out, start, vertices, planes};
    WriteListed(pairs, cursor);
    check.AtRecord(cursor.cur);
    const uint32_t entries = EntryCount(pairs, childCount);
    out.writeU32(0x11);
    out.writeU32(param0);
    out.writeU32(param1);
    out.writeU32(param2);
    out.writeU32(entries);
    for (const Pair& pair : pairs) {
        out.writeFloat(pair.node ? pair.key : 0.0);
        out.writeU32(pair.node ? pair.offset : kAbsent);
    }
    for (std::size_t i = pairs.size(); i < entries; ++i) {
        out.writeFloat(0.0);
        out.writeU32(kAbsent);
    }
    check.AfterRecord(RecordSize());
    return cursor.cur;
}

// 0x815, param, vertex A, vertex B.
uint32_t Node815::Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                        const ZertexList&) {
    RecordCheck check(out, start);
    check.AtRecord(start);
    out.writeU32(0x815);
    out.writeU32(param);
    out.writeU32(PoolIndex(vertices, vtxA));
    out.writeU32(PoolIndex(vertices, vtxB));
    check.AfterRecord(RecordSize());
    return start;
}

int NodeCornerValues::ValuesPerCorner() const {
    switch (type) {
        case 0x81B:
            return 0;
        case 0x81E:
            return 2;
        default:
            return 1;
    }
}

uint32_t NodeCornerValues::RecordSize() const {
    const uint32_t wordsPerCorner = 1 + static_cast<uint32_t>(ValuesPerCorner());
    return 12 + 4 * wordsPerCorner * Count(corners.size());
}

// code, param, n, n vertices, then n value0 (0x81C..0x81E), then n value1
// (0x81E).
uint32_t NodeCornerValues::Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                                 const ZertexList&) {
    RecordCheck check(out, start);
    check.AtRecord(start);
    out.writeU32(static_cast<uint32_t>(type));
    out.writeU32(param);
    out.writeU32(Count(corners.size()));
    for (const Corner& corner : corners) {
        out.writeU32(PoolIndex(vertices, corner.vtx));
    }
    if (ValuesPerCorner() >= 1) {
        for (const Corner& corner : corners) {
            out.writeU32(corner.value0);
        }
    }
    if (ValuesPerCorner() >= 2) {
        for (const Corner& corner : corners) {
            out.writeU32(corner.value1);
        }
    }
    check.AfterRecord(RecordSize());
    return start;
}

uint32_t NodeTextured::RecordSize() const {
    const uint32_t bytesPerCorner = HasCornerColours() ? 16 : 12;
    return 16 + bytesPerCorner * Count(corners.size());
}

namespace {

// The stored ty is flipped against the whole number at or above the largest
// ty: C - ty with C = ceil(M). M starts far below any coordinate and only a
// strictly greater ty replaces it.
double FlipBase(const std::vector<NodeTextured::Corner>& corners) {
    double largest = -1.0e9;
    for (const NodeTextured::Corner& corner : corners) {
        if (corner.ty > largest) {
            largest = corner.ty;
        }
    }
    return std::ceil(largest);
}

}  // namespace

// code, 0, col, n, n x (float tx, float ty), n vertices, and for 0x820/0x821
// n corner colours.
uint32_t NodeTextured::Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                             const ZertexList&) {
    RecordCheck check(out, start);
    check.AtRecord(start);
    out.writeU32(static_cast<uint32_t>(type));
    out.writeU32(0);
    out.writeU32(col);
    out.writeU32(Count(corners.size()));
    const double base = FlipBase(corners);
    for (const Corner& corner : corners) {
        out.writeFloat(corner.tx);
        // The difference is taken in double and only then narrowed.
        out.writeFloat(tyStoredFlipped ? corner.ty : base - corner.ty);
    }
    for (const Corner& corner : corners) {
        out.writeU32(PoolIndex(vertices, corner.vtx));
    }
    if (HasCornerColours()) {
        for (const Corner& corner : corners) {
            out.writeU32(corner.col);
        }
    }
    check.AfterRecord(RecordSize());
    return start;
}

void Node81F::AddVertex(int32_t vtx, uint32_t, double tx, double ty) {
    corners.push_back(Corner{tx, ty, vtx, 0});
    ++vertexCount;
}

void Node820::AddVertex(int32_t vtx, uint32_t corner, double tx, double ty) {
    corners.push_back(Corner{tx, ty, vtx, corner});
    ++vertexCount;
}

}  // namespace tarvel
