#pragma once

// The 3DO node classes: one class per record type code. The record layouts
// are documented beside the code that writes them (node_write.cpp).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "threedo/binary_io.h"

namespace tarvel {

class ZertexList;
class GStringList;
class PrimReader;  // bounded reader over the PRIM data of a file (prim_reader.h)
struct LineSeg;
using LineList = std::vector<LineSeg>;

class Node {
  public:
    explicit Node(int32_t typeCode) : type(typeCode) {}
    virtual ~Node();  // iterative over the child slots: trees can be very deep
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // The eight operations, in slot order.
    virtual int Read(PrimReader& in, uint32_t offset, GStringList& strings) = 0;
    // Writes the subtree from PRIM offset start, children first; returns the
    // offset of this node's own record.
    virtual uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                           const ZertexList& planes) = 0;
    virtual uint32_t RecordSize() const = 0;
    virtual void Dump() const = 0;
    virtual void CollectMips(GStringList& strings) = 0;
    virtual void AddVertex(int32_t vtx, uint32_t col, double tx, double ty) = 0;
    virtual uint64_t TreeSize() const = 0;
    virtual void InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) = 0;

    // Moves every child this node owns into out (used to tear trees down
    // without recursion).
    virtual void ReleaseChildren(std::vector<std::unique_ptr<Node>>& out);

    int32_t type;
    std::unique_ptr<Node> a, b, c, d;
};

// 4: a group of children.
class Node4 final : public Node {
  public:
    struct ChildRecord {
        uint32_t offset = 0;  // the ordinal until Write, then the PRIM offset
        std::unique_ptr<Node> node;
    };
    Node4() : Node(4) {}
    void AppendChild(std::unique_ptr<Node> node);

    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override;
    void Dump() const override;
    void CollectMips(GStringList& strings) override;
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override;
    void InsertLines(LineList&, const ZertexList&, ZertexList&) override {}
    void ReleaseChildren(std::vector<std::unique_ptr<Node>>& out) override;

    int32_t childCount = 0;
    std::vector<ChildRecord> children;
};

// 5: a texture node over one primitive in a.
class Node5 final : public Node {
  public:
    Node5() : Node(5) {}
    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override;
    void Dump() const override;
    void CollectMips(GStringList& strings) override;
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override;
    void InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) override;

    int32_t kind = 0;  // 1, 4 or 5; the conversion uses 5
    int32_t stringId = 0;
    int32_t classId = 3;
    std::optional<std::string> name;
};

// The four plane nodes share their fields; the type code says which children
// they have: 6 (a), 0xB (a, b), 9 (a, b, c), 8 (a, b, c, d).
class PlaneNode : public Node {
  public:
    using Node::Node;
    int32_t plane = 0;  // plane-pool index
};

class Node6 final : public PlaneNode {
  public:
    Node6() : PlaneNode(6) {}
    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override { return 12; }
    void Dump() const override;
    void CollectMips(GStringList& strings) override;
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override;
    void InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) override;
};

class NodeB final : public PlaneNode {
  public:
    NodeB() : PlaneNode(0xB) {}
    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override { return 16; }
    void Dump() const override;
    void CollectMips(GStringList& strings) override;
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override;
    void InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) override;
};

class Node9 final : public PlaneNode {
  public:
    Node9() : PlaneNode(9) {}
    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override { return 20; }
    void Dump() const override;
    void CollectMips(GStringList& strings) override;
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override;
    void InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) override;
};

class Node8 final : public PlaneNode {
  public:
    Node8() : PlaneNode(8) {}
    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override { return 24; }
    void Dump() const override {}  // prints nothing, not even its children
    void CollectMips(GStringList& strings) override;
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override;
    void InsertLines(LineList& lines, const ZertexList& planes, ZertexList& vertices) override;
};

// 0x10: a list of numbers.
class Node10 final : public Node {
  public:
    Node10() : Node(0x10) {}
    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override;
    void Dump() const override;
    void CollectMips(GStringList&) override {}
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override { return RecordSize(); }
    void InsertLines(LineList&, const ZertexList&, ZertexList&) override {}

    int32_t childCount = 0;
    std::vector<uint32_t> numbers;
};

// 0x11: keyed children.
class Node11 final : public Node {
  public:
    struct Pair {
        double key = 0;
        uint32_t offset = 0;
        std::unique_ptr<Node> node;
    };
    Node11() : Node(0x11) {}
    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override;
    void Dump() const override {}
    void CollectMips(GStringList& strings) override;
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override;
    void InsertLines(LineList&, const ZertexList&, ZertexList&) override {}
    void ReleaseChildren(std::vector<std::unique_ptr<Node>>& out) override;

    uint32_t param0 = 0, param1 = 0, param2 = 0;
    int32_t childCount = 0;
    std::vector<Pair> pairs;
};

// 0x815: a line between two vertices.
class Node815 final : public Node {
  public:
    Node815() : Node(0x815) {}
    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override { return 16; }
    void Dump() const override {}
    void CollectMips(GStringList&) override {}
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override { return RecordSize(); }
    void InsertLines(LineList&, const ZertexList&, ZertexList&) override {}

    uint32_t param = 0;
    int32_t vtxA = 0, vtxB = 0;
};

// 0x81B..0x81E: untextured primitives with 0, 1 or 2 opaque words per corner.
// 0x81C and 0x81D share a layout.
class NodeCornerValues : public Node {
  public:
    struct Corner {
        int32_t vtx = 0;
        uint32_t value0 = 0, value1 = 0;
    };
    using Node::Node;
    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override;
    void Dump() const override {}
    void CollectMips(GStringList&) override {}
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override { return RecordSize(); }
    void InsertLines(LineList&, const ZertexList&, ZertexList&) override {}

    // Opaque words per corner: 0 for 0x81B, 1 for 0x81C/0x81D, 2 for 0x81E.
    int ValuesPerCorner() const;

    uint32_t param = 0;
    int32_t vertexCount = 0;
    std::vector<Corner> corners;
};

// 0x81F, 0x820, 0x821: textured polygons; 0x820 and 0x821 add a colour per corner.
class NodeTextured : public Node {
  public:
    struct Corner {
        double tx = 0, ty = 0;  // ty as the conversion gave it; Write flips it
        int32_t vtx = 0;
        uint32_t col = 0;  // per corner, 0x820/0x821 only
    };
    using Node::Node;
    int Read(PrimReader& in, uint32_t offset, GStringList& strings) override;
    uint32_t Write(ByteWriter& out, uint32_t start, const ZertexList& vertices,
                   const ZertexList& planes) override;
    uint32_t RecordSize() const override;
    void CollectMips(GStringList&) override {}
    uint64_t TreeSize() const override { return RecordSize(); }
    void InsertLines(LineList&, const ZertexList&, ZertexList&) override {}

    bool HasCornerColours() const { return type != 0x81F; }

    uint32_t col = 0;
    // Set by Read: the ty values came from a file, where they are already
    // flipped, so writing them again emits them as they are instead of
    // flipping a second time (which would move the texture).
    bool tyStoredFlipped = false;
    int32_t vertexCount = 0;
    std::vector<Corner> corners;
};

class Node81F final : public NodeTextured {
  public:
    Node81F() : NodeTextured(0x81F) {}
    void Dump() const override;
    // The colour argument is ignored: the polygon has one colour, col.
    void AddVertex(int32_t vtx, uint32_t col, double tx, double ty) override;
};

class Node820 final : public NodeTextured {
  public:
    Node820() : NodeTextured(0x820) {}
    void Dump() const override;
    void AddVertex(int32_t vtx, uint32_t col, double tx, double ty) override;
};

class Node821 final : public NodeTextured {
  public:
    Node821() : NodeTextured(0x821) {}
    void Dump() const override {}
    void AddVertex(int32_t, uint32_t, double, double) override {}
};

class Node81B final : public NodeCornerValues {
  public:
    Node81B() : NodeCornerValues(0x81B) {}
};

class Node81C final : public NodeCornerValues {
  public:
    Node81C() : NodeCornerValues(0x81C) {}
};

class Node81D final : public NodeCornerValues {
  public:
    Node81D() : NodeCornerValues(0x81D) {}
};

class Node81E final : public NodeCornerValues {
  public:
    Node81E() : NodeCornerValues(0x81E) {}
};

// Appends the node's present children to out, in child order: the slots a..d,
// then a Node4's list or a Node11's pairs.
void AppendChildrenInOrder(const Node& node, std::vector<const Node*>& out);

// A new node of the class for a type code; null for 0 and for unknown codes
// (those print "Unknown type: %3X\n" on the console).
std::unique_ptr<Node> createNodeOfType(uint32_t type);

}  // namespace tarvel
