#include <gtest/gtest.h>

#include "log/log.h"
#include "support/threedo_bytes.h"
#include "threedo/gstring_list.h"
#include "threedo/nodes.h"
#include "threedo/prim_reader.h"

namespace tarvel {
namespace {

using testing::FloatBits;
using testing::PrimBuilder;

// Reads the tree at the root word of prim data, the way the loader does.
struct ReadBack {
    explicit ReadBack(std::vector<uint8_t> prim, std::vector<std::string> names = {"abc"})
        : bytes(std::move(prim)), reader(bytes) {
        context.console = &console;
        ScopedLogContext scope(context);
        for (const std::string& name : names) {
            strings.appendName(name);
        }
        const uint32_t rootOffset = testing::GetU32(bytes, 0);
        root = createNodeOfType(readTypeAt(reader, rootOffset));
        if (root) {
            root->Read(reader, rootOffset, strings);
        }
    }
    std::vector<uint8_t> bytes;
    PrimReader reader;
    GStringList strings;
    LogContext context;
    StringTextSink console;
    std::unique_ptr<Node> root;
};

TEST(CreateNodeOfType, makes_the_class_of_every_known_code) {
    for (uint32_t code : {0x4u, 0x5u, 0x6u, 0x8u, 0x9u, 0xBu, 0x10u, 0x11u, 0x815u, 0x81Bu, 0x81Cu,
                          0x81Du, 0x81Eu, 0x81Fu, 0x820u, 0x821u}) {
        std::unique_ptr<Node> node = createNodeOfType(code);
        ASSERT_NE(node, nullptr) << std::hex << code;
        EXPECT_EQ(node->type, static_cast<int32_t>(code));
    }
}

TEST(CreateNodeOfType, code_0_is_silent_and_unknown_codes_are_reported) {
    LogContext context;
    StringTextSink console;
    context.console = &console;
    ScopedLogContext scope(context);
    EXPECT_EQ(createNodeOfType(0), nullptr);
    EXPECT_EQ(console.text(), "");
    EXPECT_EQ(createNodeOfType(7), nullptr);
    EXPECT_EQ(console.text(), "Unknown type:   7\n");
    context.debugDumps = false;
    EXPECT_EQ(createNodeOfType(0x1234), nullptr);
    EXPECT_EQ(console.text(), "Unknown type:   7\n");
}

TEST(ReadTypeAt, absent_mark_gives_0_without_reading) {
    PrimBuilder prim;
    prim.Record({0x81F});
    PrimReader reader(prim.data);
    EXPECT_EQ(readTypeAt(reader, 0xFFFFFFFF), 0u);
    EXPECT_EQ(readTypeAt(reader, 4), 0x81Fu);
    EXPECT_TRUE(reader.Ok());
    EXPECT_EQ(readTypeAt(reader, 6), 0u);  // only two bytes left there
    EXPECT_FALSE(reader.Ok());
}

TEST(ReadNodes, triangle_in_node6_keeps_classes_slots_and_stored_ty) {
    ReadBack read(testing::TriangleInNode6().prim);
    ASSERT_TRUE(read.reader.Ok());
    auto* plane = dynamic_cast<Node6*>(read.root.get());
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(plane->plane, 0);
    auto* texture = dynamic_cast<Node5*>(plane->a.get());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->kind, 5);
    EXPECT_EQ(texture->stringId, 0);
    EXPECT_EQ(texture->classId, 7);
    EXPECT_EQ(texture->name, std::optional<std::string>("abc"));
    auto* polygon = dynamic_cast<Node81F*>(texture->a.get());
    ASSERT_NE(polygon, nullptr);
    EXPECT_EQ(polygon->col, 0xFF808080u);
    EXPECT_EQ(polygon->vertexCount, 3);
    ASSERT_EQ(polygon->corners.size(), 3u);
    EXPECT_TRUE(polygon->tyStoredFlipped);
    // Stored pairs are (0, .75), (1, .5), (.25, 0); ty stays as stored.
    const double stored[3][2] = {{0.0, 0.75}, {1.0, 0.5}, {0.25, 0.0}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(polygon->corners[i].tx, stored[i][0]);
        EXPECT_EQ(polygon->corners[i].ty, stored[i][1]);
        EXPECT_EQ(polygon->corners[i].vtx, i);
    }
}

// Every plane node with all of its slots filled, each slot holding a
// different kind of subtree, so a slot read into the wrong field shows.
TEST(ReadNodes, plane_nodes_fill_their_slots_in_order) {
    PrimBuilder prim;
    const uint32_t line = prim.Record({0x815, 9, 1, 2});
    const uint32_t numbers = prim.Record({0x10, 2, 11, 12});
    const uint32_t node6 = prim.Record({6, 3, line});
    const uint32_t nodeB = prim.Record({0xB, 4, numbers, line});
    const uint32_t textured = prim.Record({5, line, 1, 0});
    const uint32_t classOnly = prim.Record({5, numbers, 4, 42});
    const uint32_t node9 = prim.Record({9, 5, textured, classOnly, nodeB});
    prim.Root(prim.Record({8, 6, node6, nodeB, node9, classOnly}));
    ReadBack read(prim.data);
    ASSERT_TRUE(read.reader.Ok()) << read.reader.error()->what;
    auto& root = dynamic_cast<Node8&>(*read.root);
    EXPECT_EQ(root.plane, 6);
    EXPECT_EQ(dynamic_cast<Node6&>(*root.a).plane, 3);
    EXPECT_EQ(root.a->a->type, 0x815);
    auto& b = dynamic_cast<NodeB&>(*root.b);
    EXPECT_EQ(b.a->type, 0x10);
    EXPECT_EQ(b.b->type, 0x815);
    auto& c = dynamic_cast<Node9&>(*root.c);
    auto& kind1 = dynamic_cast<Node5&>(*c.a);
    EXPECT_EQ(kind1.kind, 1);
    EXPECT_EQ(kind1.name, std::optional<std::string>("abc"));
    EXPECT_EQ(kind1.classId, 3);  // kind 1 carries no class value
    auto& kind4 = dynamic_cast<Node5&>(*c.b);
    EXPECT_EQ(kind4.classId, 42);
    EXPECT_FALSE(kind4.name.has_value());
    EXPECT_EQ(c.c->type, 0xB);
    EXPECT_EQ(root.d->type, 5);
    EXPECT_EQ(dynamic_cast<Node10&>(*kind4.a).numbers, (std::vector<uint32_t>{11, 12}));
}

TEST(ReadNodes, node4_skips_absent_children_but_keeps_the_file_count) {
    PrimBuilder prim;
    const uint32_t first = prim.Record({0x10, 0});
    const uint32_t third = prim.Record({0x815, 0, 0, 0});
    prim.Root(prim.Record({4, 3, first, 0xFFFFFFFF, third}));
    ReadBack read(prim.data);
    ASSERT_TRUE(read.reader.Ok());
    auto& group = dynamic_cast<Node4&>(*read.root);
    EXPECT_EQ(group.childCount, 3);
    ASSERT_EQ(group.children.size(), 2u);
    EXPECT_EQ(group.children[0].offset, first);
    EXPECT_EQ(group.children[1].offset, third);
    EXPECT_EQ(group.children[1].node->type, 0x815);
    EXPECT_EQ(read.console.text(), "");
    EXPECT_FALSE(read.reader.firstNote().has_value());
}

TEST(ReadNodes, zero_child_offset_of_node5_and_node6_means_no_child) {
    PrimBuilder prim;
    const uint32_t texture = prim.Record({5, 0, 5, 0, 3});
    prim.Root(prim.Record({6, 0, texture}));
    ReadBack read(prim.data);
    ASSERT_TRUE(read.reader.Ok());
    EXPECT_EQ(read.root->a->a, nullptr);
    EXPECT_FALSE(read.reader.firstNote().has_value());

    PrimBuilder alone;
    alone.Root(alone.Record({6, 0, 0}));
    ReadBack single(alone.data);
    EXPECT_EQ(single.root->a, nullptr);
    EXPECT_FALSE(single.reader.firstNote().has_value());
}

TEST(ReadNodes, node11_keeps_every_pair_and_unknown_children_are_noted) {
    PrimBuilder prim;
    const uint32_t child = prim.Record({0x10, 0});
    const uint32_t unknown = prim.Record({7, 0});
    prim.Root(prim.Record({0x11, 1, 2, 3, 3, FloatBits(1.5f), child, FloatBits(0.0f), 0xFFFFFFFF,
                           FloatBits(-2.0f), unknown}));
    ReadBack read(prim.data);
    ASSERT_TRUE(read.reader.Ok());
    auto& keyed = dynamic_cast<Node11&>(*read.root);
    EXPECT_EQ(keyed.param0, 1u);
    EXPECT_EQ(keyed.param2, 3u);
    EXPECT_EQ(keyed.childCount, 3);
    ASSERT_EQ(keyed.pairs.size(), 3u);
    EXPECT_EQ(keyed.pairs[0].key, 1.5);
    EXPECT_NE(keyed.pairs[0].node, nullptr);
    EXPECT_EQ(keyed.pairs[1].node, nullptr);
    EXPECT_EQ(keyed.pairs[2].key, -2.0);
    EXPECT_EQ(keyed.pairs[2].offset, unknown);
    EXPECT_EQ(keyed.pairs[2].node, nullptr);
    EXPECT_EQ(read.console.text(), "Unknown type:   7\n");
    ASSERT_TRUE(read.reader.firstNote().has_value());
    EXPECT_NE(read.reader.firstNote()->what.find("designates no record"), std::string::npos);
}

// The primitives whose corners carry runs of words: vertex indices first,
// then each run in turn.
TEST(ReadNodes, corner_runs_land_in_their_fields) {
    struct Case {
        uint32_t code;
        std::initializer_list<uint32_t> record;
        uint32_t value0, value1;
    };
    const Case cases[] = {
        {0x81B, {0x81B, 77, 2, 5, 6}, 0, 0},
        {0x81C, {0x81C, 77, 2, 5, 6, 10, 11}, 11, 0},
        {0x81D, {0x81D, 77, 2, 5, 6, 10, 11}, 11, 0},
        {0x81E, {0x81E, 77, 2, 5, 6, 10, 11, 20, 21}, 11, 21},
    };
    for (const Case& c : cases) {
        PrimBuilder prim;
        prim.Root(prim.Record(c.record));
        ReadBack read(prim.data);
        ASSERT_TRUE(read.reader.Ok()) << std::hex << c.code;
        auto& node = dynamic_cast<NodeCornerValues&>(*read.root);
        EXPECT_EQ(node.param, 77u);
        EXPECT_EQ(node.vertexCount, 2);
        ASSERT_EQ(node.corners.size(), 2u);
        EXPECT_EQ(node.corners[0].vtx, 5);
        EXPECT_EQ(node.corners[1].vtx, 6);
        EXPECT_EQ(node.corners[1].value0, c.value0) << std::hex << c.code;
        EXPECT_EQ(node.corners[1].value1, c.value1) << std::hex << c.code;
        // The record ends exactly where its runs end.
        EXPECT_EQ(read.reader.extents().front().end, read.bytes.size());
    }
}

TEST(ReadNodes, corner_colours_follow_the_vertex_indices) {
    for (uint32_t code : {0x820u, 0x821u}) {
        PrimBuilder prim;
        prim.Root(prim.Record({code, 0, 0xAB, 2, FloatBits(0.5f), FloatBits(2.0f), FloatBits(-1.0f),
                               FloatBits(0.25f), 8, 9, 0x11, 0x22}));
        ReadBack read(prim.data);
        ASSERT_TRUE(read.reader.Ok());
        auto& node = dynamic_cast<NodeTextured&>(*read.root);
        EXPECT_EQ(node.col, 0xABu);
        ASSERT_EQ(node.corners.size(), 2u);
        EXPECT_EQ(node.corners[1].tx, -1.0);
        EXPECT_EQ(node.corners[1].ty, 0.25);
        EXPECT_EQ(node.corners[0].vtx, 8);
        EXPECT_EQ(node.corners[0].col, 0x11u);
        EXPECT_EQ(node.corners[1].col, 0x22u);
        EXPECT_TRUE(node.tyStoredFlipped);
    }
}

TEST(ReadNodes, texture_offset_inside_a_name_reads_the_placeholder_name) {
    PrimBuilder prim;
    prim.Root(prim.Record({5, 0, 1, 1}));
    ReadBack read(prim.data);
    EXPECT_EQ(dynamic_cast<Node5&>(*read.root).name, std::optional<std::string>("!Underbukser!\n"));
}

}  // namespace
}  // namespace tarvel
