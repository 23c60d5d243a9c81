#include <gtest/gtest.h>

#include "threedo/node_lines.h"
#include "threedo/nodes.h"
#include "threedo/zertex_list.h"

namespace tarvel {
namespace {

// A leaf that keeps every list handed to it.
class LineSpy final : public Node {
  public:
    LineSpy() : Node(0) {}
    int Read(PrimReader&, uint32_t, GStringList&) override { return 1; }
    uint32_t Write(ByteWriter&, uint32_t start, const ZertexList&, const ZertexList&) override {
        return start;
    }
    uint32_t RecordSize() const override { return 0; }
    void Dump() const override {}
    void CollectMips(GStringList&) override {}
    void AddVertex(int32_t, uint32_t, double, double) override {}
    uint64_t TreeSize() const override { return 0; }
    void InsertLines(LineList& lines, const ZertexList&, ZertexList&) override {
        received.push_back(lines);
    }
    std::vector<LineList> received;
};

LineSeg Line(float x1, float y1, float z1, float x2, float y2, float z2) {
    LineSeg line;
    line.x1 = x1;
    line.y1 = y1;
    line.z1 = z1;
    line.x2 = x2;
    line.y2 = y2;
    line.z2 = z2;
    line.words[0] = 0xA;
    line.words[1] = 0xB;
    line.words[2] = 0xC;
    return line;
}

// The plane z = 1 (a, b, c, d = 0, 0, 1, -1), kept as (d, a, b, c).
ZertexList PlaneZ1() {
    ZertexList planes;
    planes.append(-1, 0, 0, 1);
    return planes;
}

LineSpy* Spy(std::unique_ptr<Node>& slot) {
    auto spy = std::make_unique<LineSpy>();
    LineSpy* raw = spy.get();
    slot = std::move(spy);
    return raw;
}

const LineSeg kFront = Line(0, 0, 2, 1, 0, 3);
const LineSeg kBehind = Line(0, 0, 0, 1, 0, -1);
const LineSeg kInPlane = Line(0, 0, 1, 1, 1, 1);
const LineSeg kCrossing = Line(0, 0, 3, 0, 0, -1);  // front to back, X at z = 1

TEST(InsertLines, node6_drops_lines_behind_and_crossing) {
    Node6 node;
    LineSpy* a = Spy(node.a);
    ZertexList planes = PlaneZ1();
    ZertexList vertices;
    LineList lines = {kFront, kBehind, kInPlane, kCrossing};
    node.InsertLines(lines, planes, vertices);
    ASSERT_EQ(a->received.size(), 1u);
    const LineList& got = a->received[0];
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].z1, 2.0f);
    EXPECT_EQ(got[1].z1, 1.0f);
    EXPECT_EQ(vertices.count(), 4);
    EXPECT_EQ(got[0].vertexA, 0);
    EXPECT_EQ(got[0].vertexB, 1);
    EXPECT_EQ(got[1].vertexA, 2);
}

TEST(InsertLines, nodeB_sends_in_plane_lines_to_the_front) {
    NodeB node;
    LineSpy* a = Spy(node.a);
    LineSpy* b = Spy(node.b);
    ZertexList planes;
    planes.append(0, 1, 0, 0);  // x = 0
    ZertexList vertices;
    LineList lines = {Line(0, 0, 0, 0, 5, 0), Line(-1, 0, 0, -2, 0, 0)};
    node.InsertLines(lines, planes, vertices);
    ASSERT_EQ(a->received.size(), 1u);
    EXPECT_EQ(a->received[0].size(), 1u);
    ASSERT_EQ(b->received.size(), 1u);
    EXPECT_EQ(b->received[0][0].x1, -1.0f);
}

TEST(InsertLines, node8_sends_in_plane_lines_to_b_and_c_with_shared_vertices) {
    Node8 node;
    LineSpy* a = Spy(node.a);
    LineSpy* b = Spy(node.b);
    LineSpy* c = Spy(node.c);
    LineSpy* d = Spy(node.d);
    ZertexList planes = PlaneZ1();
    ZertexList vertices;
    LineList lines = {kInPlane};
    node.InsertLines(lines, planes, vertices);
    EXPECT_TRUE(a->received.empty());
    EXPECT_TRUE(d->received.empty());
    ASSERT_EQ(b->received.size(), 1u);
    ASSERT_EQ(c->received.size(), 1u);
    // The second list's ends find the records the first list entered.
    EXPECT_EQ(vertices.count(), 2);
    EXPECT_EQ(b->received[0][0].vertexA, 0);
    EXPECT_EQ(c->received[0][0].vertexA, 0);
    EXPECT_EQ(c->received[0][0].vertexB, 1);
}

TEST(InsertLines, crossing_lines_split_into_front_and_back_pieces_with_their_words) {
    struct Case {
        const char* name;
        LineSeg line;
        float frontZ1, frontZ2, backZ1, backZ2;
    };
    const Case cases[] = {
        {"front to back", kCrossing, 3, 1, 1, -1},
        // The piece at P1 lies behind, so it goes behind.
        {"back to front", Line(0, 0, -1, 0, 0, 3), 1, 3, -1, 1},
        // P1 touches the plane (t = 0): a point piece in front, the line behind.
        {"touching then behind", Line(0, 0, 1, 0, 0, -1), 1, 1, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Node9 node;
        LineSpy* a = Spy(node.a);
        LineSpy* b = Spy(node.b);
        LineSpy* back = Spy(node.c);
        ZertexList planes = PlaneZ1();
        ZertexList vertices;
        LineList lines = {c.line};
        node.InsertLines(lines, planes, vertices);
        EXPECT_TRUE(b->received.empty());
        ASSERT_EQ(a->received.size(), 1u);
        ASSERT_EQ(back->received.size(), 1u);
        const LineSeg& front = a->received[0].at(0);
        const LineSeg& rear = back->received[0].at(0);
        EXPECT_EQ(front.z1, c.frontZ1);
        EXPECT_EQ(front.z2, c.frontZ2);
        EXPECT_EQ(rear.z1, c.backZ1);
        EXPECT_EQ(rear.z2, c.backZ2);
        for (const LineSeg* piece : {&front, &rear}) {
            EXPECT_EQ(piece->words[0], 0xAu);
            EXPECT_EQ(piece->words[2], 0xCu);
        }
    }
}

TEST(InsertLines, lists_for_absent_children_enter_no_vertices) {
    NodeB node;
    LineSpy* b = Spy(node.b);
    ZertexList planes = PlaneZ1();
    ZertexList vertices;
    LineList lines = {kFront, kBehind};
    node.InsertLines(lines, planes, vertices);
    ASSERT_EQ(b->received.size(), 1u);
    EXPECT_EQ(vertices.count(), 2);  // only the line behind
    EXPECT_EQ(b->received[0][0].vertexA, 0);
}

TEST(InsertLines, node5_passes_on_and_a_missing_plane_routes_nothing) {
    Node5 texture;
    auto plane = std::make_unique<Node6>();
    Node6* planeNode = plane.get();
    texture.a = std::move(plane);
    LineSpy* leaf = Spy(planeNode->a);
    ZertexList planes = PlaneZ1();
    ZertexList vertices;
    LineList lines = {kFront};
    texture.InsertLines(lines, planes, vertices);
    EXPECT_EQ(leaf->received.size(), 1u);

    planeNode->plane = 7;  // no such record
    texture.InsertLines(lines, planes, vertices);
    EXPECT_EQ(leaf->received.size(), 1u);
}

}  // namespace
}  // namespace tarvel
