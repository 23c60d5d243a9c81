#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <vector>

#include "threedo/binary_io.h"
#include "threedo/nodes.h"
#include "threedo/zertex_list.h"

namespace tarvel {
namespace {

uint32_t F(float value) {
    return std::bit_cast<uint32_t>(value);
}

// The PRIM data a tree writes from offset 4, as words (the root word left 0).
struct Written {
    uint32_t root;
    std::vector<uint32_t> words;  // words[i] is at PRIM offset 4 * i
};

Written WriteTree(Node& node, const ZertexList& vertices = {}, const ZertexList& planes = {}) {
    ByteWriter out;
    out.writeU32(0);
    Written w;
    w.root = node.Write(out, 4, vertices, planes);
    EXPECT_EQ(out.size(), 4 + node.TreeSize());
    for (std::size_t i = 0; i < out.size(); i += 4) {
        w.words.push_back(LoadU32(&out.bytes()[i]));
    }
    return w;
}

std::vector<uint32_t> At(const Written& w, uint32_t offset, std::size_t count) {
    const auto first = w.words.begin() + offset / 4;
    return std::vector<uint32_t>(first, first + static_cast<std::ptrdiff_t>(count));
}

std::unique_ptr<Node81F> Triangle(uint32_t col, int32_t v0 = 0) {
    auto tri = std::make_unique<Node81F>();
    tri->col = col;
    tri->AddVertex(v0, 0x12345678, 0.0, 0.25);
    tri->AddVertex(v0 + 1, 0, 1.0, 0.5);
    tri->AddVertex(v0 + 2, 0, 0.0, 1.0);
    return tri;
}

std::unique_ptr<Node5> Textured(std::unique_ptr<Node> child, int32_t stringId = 0) {
    auto node = std::make_unique<Node5>();
    node->kind = 5;
    node->stringId = stringId;
    node->a = std::move(child);
    return node;
}

TEST(NodeWrite, texture_node_over_triangle_writes_children_first) {
    auto root = Textured(Triangle(0xFF007FFF));
    EXPECT_EQ(root->TreeSize(), 72u);
    const Written w = WriteTree(*root);
    EXPECT_EQ(w.root, 56u);
    // The corner colour given to AddVertex is ignored: only col is written.
    EXPECT_EQ(At(w, 4, 13), (std::vector<uint32_t>{0x81F, 0, 0xFF007FFF, 3, F(0), F(0.75f), F(1),
                                                   F(0.5f), F(0), F(0), 0, 1, 2}));
    EXPECT_EQ(At(w, 56, 5), (std::vector<uint32_t>{5, 4, 5, 0, 3}));
}

TEST(NodeWrite, ty_is_flipped_against_the_ceiling_of_the_largest) {
    struct Case {
        std::vector<double> ty;
        bool storedFlipped;
        std::vector<float> written;
    };
    const Case cases[] = {
        {{0.25, 0.5, 1.0}, false, {0.75f, 0.5f, 0.0f}},
        {{0.2, 0.4, 1.3},
         false,
         {static_cast<float>(2.0 - 0.2), static_cast<float>(2.0 - 0.4),
          static_cast<float>(2.0 - 1.3)}},
        {{2.0, 2.0, 2.0}, false, {0, 0, 0}},
        {{-0.5, -0.25, -0.75}, false, {0.5f, 0.25f, 0.75f}},
        {{0.25, 0.5, 1.0}, true, {0.25f, 0.5f, 1.0f}},
    };
    for (const Case& c : cases) {
        Node81F tri;
        tri.tyStoredFlipped = c.storedFlipped;
        for (std::size_t i = 0; i < c.ty.size(); ++i) {
            tri.AddVertex(static_cast<int32_t>(i), 0, 0.5, c.ty[i]);
        }
        const Written w = WriteTree(tri);
        for (std::size_t i = 0; i < c.written.size(); ++i) {
            EXPECT_EQ(w.words[1 + 4 + 2 * i + 1], F(c.written[i])) << "corner " << i;
        }
        EXPECT_EQ(tri.corners[2].ty, c.ty[2]);  // the stored values stay
    }
}

TEST(NodeWrite, group_replaces_ordinals_by_offsets_and_marks_null_children) {
    Node4 group;
    group.AppendChild(Triangle(1));
    group.AppendChild(nullptr);
    group.AppendChild(Triangle(2));
    EXPECT_EQ(group.childCount, 3);
    EXPECT_EQ(group.children[2].offset, 2u);
    EXPECT_EQ(group.TreeSize(), 20u + 2 * 52);
    const Written w = WriteTree(group);
    EXPECT_EQ(w.root, 108u);
    EXPECT_EQ(At(w, 108, 5), (std::vector<uint32_t>{4, 3, 4, 0xFFFFFFFF, 56}));
    EXPECT_EQ(group.children[2].offset, 56u);
    // Writing again from the same start gives the same bytes.
    EXPECT_EQ(WriteTree(group).words, w.words);
}

TEST(NodeWrite, group_keeping_a_larger_count_pads_with_absent_children) {
    Node4 group;  // as read back from a file whose second child was absent
    group.AppendChild(Triangle(1));
    group.childCount = 2;
    EXPECT_EQ(group.RecordSize(), 16u);
    const Written w = WriteTree(group);
    EXPECT_EQ(At(w, w.root, 4), (std::vector<uint32_t>{4, 2, 4, 0xFFFFFFFF}));
}

TEST(NodeWrite, plane_nodes_write_absent_children_their_own_way) {
    ZertexList planes;
    planes.append(0, 0, 0, 1);
    planes.append(0, 0, 1, 0);

    Node8 full;
    full.plane = 1;
    full.a = Triangle(1);
    full.d = Triangle(2);
    const Written w8 = WriteTree(full, {}, planes);
    EXPECT_EQ(w8.root, 108u);
    EXPECT_EQ(At(w8, 108, 6), (std::vector<uint32_t>{8, 1, 4, 0xFFFFFFFF, 0xFFFFFFFF, 56}));
    EXPECT_EQ(At(w8, 56, 3), (std::vector<uint32_t>{0x81F, 0, 2}));  // d after a

    Node6 empty;
    EXPECT_EQ(empty.TreeSize(), 12u);
    EXPECT_EQ(WriteTree(empty, {}, planes).words, (std::vector<uint32_t>{0, 6, 0, 0}));

    Node9 reversed;
    reversed.b = Triangle(3);
    const Written w9 = WriteTree(reversed, {}, planes);
    EXPECT_EQ(At(w9, w9.root, 5), (std::vector<uint32_t>{9, 0, 0xFFFFFFFF, 4, 0xFFFFFFFF}));

    NodeB split;
    split.b = Triangle(4);
    const Written wb = WriteTree(split, {}, planes);
    EXPECT_EQ(At(wb, wb.root, 4), (std::vector<uint32_t>{0xB, 0, 0xFFFFFFFF, 4}));
}

TEST(NodeWrite, indices_are_written_through_their_pools_or_as_they_stand) {
    ZertexList vertices;
    vertices.addVertex(1, 2, 3);
    Node6 node;
    node.plane = 5;  // no such plane record
    auto tri = std::make_unique<Node81F>();
    tri->AddVertex(0, 0, 0, 0);
    tri->AddVertex(-1, 0, 0, 0);
    tri->AddVertex(9, 0, 0, 0);
    node.a = std::move(tri);
    const Written w = WriteTree(node, vertices, ZertexList{});
    EXPECT_EQ(At(w, 4 + 16 + 24, 3), (std::vector<uint32_t>{0, 0xFFFFFFFF, 9}));
    EXPECT_EQ(At(w, w.root, 3), (std::vector<uint32_t>{6, 5, 4}));
}

TEST(NodeWrite, texture_node_layout_follows_its_kind) {
    struct Case {
        int32_t kind;
        std::vector<uint32_t> record;
    };
    const Case cases[] = {
        {1, {5, 0, 1, 12}},
        {4, {5, 0, 4, 7}},
        {5, {5, 0, 5, 12, 7}},
        {2, {5, 0, 2}},  // no layout of its own: the common words only
    };
    for (const Case& c : cases) {
        Node5 node;
        node.kind = c.kind;
        node.stringId = 12;
        node.classId = 7;
        EXPECT_EQ(node.RecordSize(), 4 * c.record.size());
        const Written w = WriteTree(node);
        EXPECT_EQ(At(w, 4, c.record.size()), c.record) << "kind " << c.kind;
    }
}

TEST(NodeWrite, records_the_conversion_never_makes_keep_their_layouts) {
    ZertexList vertices;
    for (int i = 0; i < 3; ++i) {
        vertices.addVertex(i, 0, 0);
    }
    Node10 numbers;
    numbers.numbers = {7, 8};
    numbers.childCount = 2;

    Node815 line;
    line.param = 9;
    line.vtxA = 1;
    line.vtxB = 2;

    Node81E values;
    values.param = 3;
    values.corners = {{0, 10, 20}, {2, 11, 21}};
    values.vertexCount = 2;

    Node81B bare;
    bare.corners = {{1, 5, 6}};
    bare.vertexCount = 1;

    Node820 coloured;
    coloured.col = 0xAA;
    coloured.AddVertex(2, 0xBB, 0.5, 1.0);

    struct Case {
        Node* node;
        std::vector<uint32_t> record;
    };
    const Case cases[] = {
        {&numbers, {0x10, 2, 7, 8}},
        {&line, {0x815, 9, 1, 2}},
        {&values, {0x81E, 3, 2, 0, 2, 10, 11, 20, 21}},
        {&bare, {0x81B, 0, 1, 1}},
        {&coloured, {0x820, 0, 0xAA, 1, F(0.5f), F(0), 2, 0xBB}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.node->RecordSize(), 4 * c.record.size());
        const Written w = WriteTree(*c.node, vertices);
        EXPECT_EQ(At(w, 4, c.record.size()), c.record) << std::hex << c.node->type;
    }
}

TEST(NodeWrite, keyed_node_writes_its_children_and_empty_pairs) {
    Node11 keyed;
    keyed.param0 = 1;
    keyed.param1 = 2;
    keyed.param2 = 3;
    keyed.pairs.push_back({2.5, 0, Triangle(1)});
    keyed.pairs.push_back({9.0, 0, nullptr});
    keyed.childCount = 2;
    EXPECT_EQ(keyed.TreeSize(), 36u + 52);
    const Written w = WriteTree(keyed);
    EXPECT_EQ(At(w, w.root, 9),
              (std::vector<uint32_t>{0x11, 1, 2, 3, 2, F(2.5f), 4, F(0), 0xFFFFFFFF}));
}

}  // namespace
}  // namespace tarvel
