#include <utility>
#include <vector>

#include "log/log.h"
#include "threedo/gstring_list.h"
#include "threedo/nodes.h"
#include "threedo/prim_reader.h"

// Reading records back into nodes: each record's own fields first, then its
// children, each reached by its own offset, so the order of the records in
// the file does not matter. The record layouts are those the writer emits
// (node_write.cpp). Every count is checked against the bytes that remain
// before it sizes anything.

namespace tarvel {

namespace {

constexpr uint32_t kAbsent = 0xFFFFFFFFu;

// Kept out of ReadChild so that the message's temporaries take no room in
// the frames of the recursion.
[[gnu::noinline]] void NoteNoRecord(PrimReader& in, uint32_t offset, uint32_t type) {
    in.Note(Format("child offset %u of the record at PRIM offset %u designates no record "
                   "(type code 0x%X)",
                   offset, in.CurrentRecord(), type),
            in.CurrentRecord());
}

// Reads the child record at offset, or yields null for the absent mark, for
// type code 0 and for codes without a class.
std::unique_ptr<Node> ReadChild(PrimReader& in, uint32_t offset, GStringList& strings) {
    const uint32_t type = readTypeAt(in, offset);
    std::unique_ptr<Node> child = createNodeOfType(type);
    if (child) {
        child->Read(in, offset, strings);
    } else if (offset != kAbsent && in.Ok()) {
        NoteNoRecord(in, offset, type);
    }
    return child;
}

// Node5 and Node6 write 0 for a missing child; offset 0 is the root word,
// never a record, so it means no child there.
std::unique_ptr<Node> ReadChildOrZero(PrimReader& in, uint32_t offset, GStringList& strings) {
    return offset == 0 ? nullptr : ReadChild(in, offset, strings);
}

// Counts read from the file fit in 31 bits once HasRoomFor has accepted them.
int32_t CountField(uint32_t count) {
    return static_cast<int32_t>(count);
}

// The plane nodes: plane index, then slots a.. in order, as many as the type has.
void ReadPlaneNode(PlaneNode& node, PrimReader& in, uint32_t offset, GStringList& strings,
                   int slots) {
    RecordVisit visit(in, offset);
    if (!visit) {
        return;
    }
    node.plane = static_cast<int32_t>(in.ReadU32());
    uint32_t childOffsets[4] = {kAbsent, kAbsent, kAbsent, kAbsent};
    for (int i = 0; i < slots; ++i) {
        childOffsets[i] = in.ReadU32();
    }
    in.EndOfFields();
    std::unique_ptr<Node>* slot[4] = {&node.a, &node.b, &node.c, &node.d};
    for (int i = 0; i < slots; ++i) {
        *slot[i] = node.type == 6 ? ReadChildOrZero(in, childOffsets[i], strings)
                                  : ReadChild(in, childOffsets[i], strings);
    }
}

// n words, after checking that they fit.
std::vector<uint32_t> ReadWords(PrimReader& in, uint32_t count) {
    std::vector<uint32_t> words;
    if (!in.HasRoomFor(count, 4)) {
        return words;
    }
    words.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        words.push_back(in.ReadU32());
    }
    return words;
}

}  // namespace

std::unique_ptr<Node> createNodeOfType(uint32_t type) {
    switch (type) {
        case 0x4:
            return std::make_unique<Node4>();
        case 0x5:
            return std::make_unique<Node5>();
        case 0x6:
            return std::make_unique<Node6>();
        case 0x8:
            return std::make_unique<Node8>();
        case 0x9:
            return std::make_unique<Node9>();
        case 0xB:
            return std::make_unique<NodeB>();
        case 0x10:
            return std::make_unique<Node10>();
        case 0x11:
            return std::make_unique<Node11>();
        case 0x815:
            return std::make_unique<Node815>();
        case 0x81B:
            return std::make_unique<Node81B>();
        case 0x81C:
            return std::make_unique<Node81C>();
        case 0x81D:
            return std::make_unique<Node81D>();
        case 0x81E:
            return std::make_unique<Node81E>();
        case 0x81F:
            return std::make_unique<Node81F>();
        case 0x820:
            return std::make_unique<Node820>();
        case 0x821:
            return std::make_unique<Node821>();
        case 0x0:
            return nullptr;
        default:
            if (DebugDumps()) {
                LogConsole("Unknown type: %3X\n", type);
            }
            return nullptr;
    }
}

int Node4::Read(PrimReader& in, uint32_t offset, GStringList& strings) {
    RecordVisit visit(in, offset);
    if (!visit) {
        return 1;
    }
    const uint32_t count = in.ReadU32();
    const std::vector<uint32_t> offsets = ReadWords(in, count);
    in.EndOfFields();
    if (!in.Ok()) {
        return 1;
    }
    childCount = CountField(count);
    for (uint32_t childOffset : offsets) {
        if (std::unique_ptr<Node> child = ReadChild(in, childOffset, strings)) {
            children.push_back(ChildRecord{childOffset, std::move(child)});
        }
    }
    return 1;
}

int Node5::Read(PrimReader& in, uint32_t offset, GStringList& strings) {
    RecordVisit visit(in, offset);
    if (!visit) {
        return 1;
    }
    const uint32_t childOffset = in.ReadU32();
    kind = static_cast<int32_t>(in.ReadU32());
    if (kind == 1 || kind == 5) {
        stringId = static_cast<int32_t>(in.ReadU32());
    }
    if (kind == 4 || kind == 5) {
        classId = static_cast<int32_t>(in.ReadU32());
    }
    in.EndOfFields();
    if (!in.Ok()) {
        return 1;
    }
    if (kind == 1 || kind == 5) {
        name = strings.nameByOffset(stringId);
    }
    a = ReadChildOrZero(in, childOffset, strings);
    return 1;
}

int Node6::Read(PrimReader& in, uint32_t offset, GStringList& strings) {
    ReadPlaneNode(*this, in, offset, strings, 1);
    return 1;
}

int NodeB::Read(PrimReader& in, uint32_t offset, GStringList& strings) {
    ReadPlaneNode(*this, in, offset, strings, 2);
    return 1;
}

int Node9::Read(PrimReader& in, uint32_t offset, GStringList& strings) {
    ReadPlaneNode(*this, in, offset, strings, 3);
    return 1;
}

int Node8::Read(PrimReader& in, uint32_t offset, GStringList& strings) {
    ReadPlaneNode(*this, in, offset, strings, 4);
    return 1;
}

int Node10::Read(PrimReader& in, uint32_t offset, GStringList&) {
    RecordVisit visit(in, offset);
    if (!visit) {
        return 1;
    }
    const uint32_t count = in.ReadU32();
    numbers = ReadWords(in, count);
    in.EndOfFields();
    if (in.Ok()) {
        childCount = CountField(count);
    }
    return 1;
}

int Node11::Read(PrimReader& in, uint32_t offset, GStringList& strings) {
    RecordVisit visit(in, offset);
    if (!visit) {
        return 1;
    }
    param0 = in.ReadU32();
    param1 = in.ReadU32();
    param2 = in.ReadU32();
    const uint32_t count = in.ReadU32();
    if (!in.HasRoomFor(count, 8)) {
        return 1;
    }
    pairs.resize(count);
    for (Pair& pair : pairs) {
        pair.key = in.ReadFloat();
        pair.offset = in.ReadU32();
    }
    in.EndOfFields();
    childCount = CountField(count);
    // Every pair stays, with a null node where no child could be made.
    for (Pair& pair : pairs) {
        pair.node = ReadChild(in, pair.offset, strings);
    }
    return 1;
}

int Node815::Read(PrimReader& in, uint32_t offset, GStringList&) {
    RecordVisit visit(in, offset);
    if (!visit) {
        return 1;
    }
    param = in.ReadU32();
    vtxA = static_cast<int32_t>(in.ReadU32());
    vtxB = static_cast<int32_t>(in.ReadU32());
    in.EndOfFields();
    return 1;
}

// param, n, then n vertex indices followed by ValuesPerCorner runs of n words.
int NodeCornerValues::Read(PrimReader& in, uint32_t offset, GStringList&) {
    RecordVisit visit(in, offset);
    if (!visit) {
        return 1;
    }
    param = in.ReadU32();
    const uint32_t count = in.ReadU32();
    const int values = ValuesPerCorner();
    if (!in.HasRoomFor(count, 4 * static_cast<uint32_t>(1 + values))) {
        return 1;
    }
    corners.resize(count);
    for (Corner& corner : corners) {
        corner.vtx = static_cast<int32_t>(in.ReadU32());
    }
    uint32_t Corner::*const runs[] = {&Corner::value0, &Corner::value1};
    for (int run = 0; run < values && run < 2; ++run) {
        for (Corner& corner : corners) {
            corner.*runs[run] = in.ReadU32();
        }
    }
    in.EndOfFields();
    vertexCount = CountField(count);
    return 1;
}

// 0, col, n, n texture coordinate pairs, n vertex indices, and for 0x820 and
// 0x821 n corner colours. ty is kept as stored (already flipped).
int NodeTextured::Read(PrimReader& in, uint32_t offset, GStringList&) {
    RecordVisit visit(in, offset);
    if (!visit) {
        return 1;
    }
    in.ReadU32();  // always 0
    col = in.ReadU32();
    const uint32_t count = in.ReadU32();
    const uint32_t perCorner = HasCornerColours() ? 16 : 12;
    if (!in.HasRoomFor(count, perCorner)) {
        return 1;
    }
    corners.resize(count);
    for (Corner& corner : corners) {
        corner.tx = in.ReadFloat();
        corner.ty = in.ReadFloat();
    }
    for (Corner& corner : corners) {
        corner.vtx = static_cast<int32_t>(in.ReadU32());
    }
    if (HasCornerColours()) {
        for (Corner& corner : corners) {
            corner.col = in.ReadU32();
        }
    }
    in.EndOfFields();
    vertexCount = CountField(count);
    tyStoredFlipped = true;
    return 1;
}

}  // namespace tarvel
