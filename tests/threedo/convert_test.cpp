#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bsp/bsp_node.h"
#include "bsp/geometry.h"
#include "log/log.h"
#include "threedo/convert.h"

namespace tarvel {
namespace {

// Materials 0 "road" (colour 1, 0.5, 0), 1 "grass", 2 and 3 "clipper",
// 4 "wall"; material 9 does not exist.
Cupboard Materials() {
    Cupboard cupboard;
    const struct {
        int32_t id;
        const char* bitmap;
    } entries[] = {{0, "road"}, {1, "grass"}, {2, "clipper"}, {3, "clipper"}, {4, "wall"}};
    for (const auto& e : entries) {
        Material m;
        m.id = e.id;
        m.colour = e.id == 0 ? Colour{1.0f, 0.5f, 0.0f} : Colour{};
        m.bmpname = e.bitmap;
        cupboard.Add(m);
    }
    return cupboard;
}

// A triangle in the plane z = height, its corners offset along x.
Poly Triangle(int32_t material, float x = 0, float height = 0) {
    Poly poly;
    poly.points = {APoint{x, 0, height, 0, 0.5f, 0, 0, 0},
                   APoint{x + 1, 0, height, 1, 0.5f, 0, 0, 0}, APoint{x, 1, height, 0, 1, 0, 0, 0}};
    poly.material = material;
    poly.polyClass = 3;
    ComputePlane(poly);
    return poly;
}

std::unique_ptr<PolyList> ListOf(std::initializer_list<Poly> polys, const Cupboard& materials) {
    auto list = std::make_unique<PolyList>();
    for (const Poly& poly : polys) {
        list->Add(poly, &materials);
    }
    return list;
}

// A child BSP node holding one polygon in front of its own plane.
std::unique_ptr<BSPNode> Leaf(const Poly& poly, const Cupboard& materials) {
    auto node = std::make_unique<BSPNode>();
    node->polys.Add(poly, &materials);
    node->onfront = ListOf({poly}, materials);
    return node;
}

template <typename T>
const T& As(const Node* node) {
    const T* typed = dynamic_cast<const T*>(node);
    EXPECT_NE(typed, nullptr);
    if (typed == nullptr) {
        throw std::runtime_error("unexpected node class");
    }
    return *typed;
}

class Convert : public ::testing::Test {
  protected:
    Convert() {
        context.console = &console;
        context.logFile = &file;
        scope.emplace(context);
    }

    std::unique_ptr<Node> Run(BSPNode& node) {
        return convertNode(node, vertices, planes, mips, &materials);
    }

    Cupboard materials = Materials();
    ZertexList vertices, planes;
    GStringList mips;
    LogContext context;
    StringTextSink console, file;
    std::optional<ScopedLogContext> scope;
};

TEST_F(Convert, one_polygon_on_the_plane_becomes_node6_over_texture_and_polygon) {
    BSPNode node;
    node.polys.Add(Triangle(0), &materials);
    node.onfront = ListOf({Triangle(0)}, materials);
    const std::unique_ptr<Node> root = Run(node);
    const Node6& six = As<Node6>(root.get());
    const Node5& texture = As<Node5>(six.a.get());
    EXPECT_EQ(texture.kind, 5);
    EXPECT_EQ(texture.classId, 3);
    EXPECT_EQ(texture.name, "road");
    const Node81F& polygon = As<Node81F>(texture.a.get());
    EXPECT_EQ(polygon.col, 0xFF007FFFu);
    ASSERT_EQ(polygon.vertexCount, 3);
    EXPECT_EQ(polygon.corners[1].vtx, 1);
    EXPECT_EQ(polygon.corners[1].tx, 1.0);
    EXPECT_EQ(polygon.corners[2].ty, 1.0);
    EXPECT_EQ(vertices.count(), 3);
    ASSERT_EQ(planes.count(), 1);
    EXPECT_EQ(planes.entryAt(0)->c3, 1.0);  // c0 = d, then a, b, c
    EXPECT_EQ(file.text(), "##    0    1    0    0 ##\n");
    EXPECT_TRUE(console.text().starts_with(
        "@@ type 6\nPolyList::Create3DO.  Number of polys:    1\n[0x  5]"))
        << console.text();
}

TEST_F(Convert, polygons_sharing_a_texture_go_under_one_texture_node) {
    BSPNode node;
    node.polys.Add(Triangle(0), &materials);
    node.onfront = ListOf({Triangle(0), Triangle(0, 0.5f)}, materials);
    const std::unique_ptr<Node> root = Run(node);
    const Node4& outer = As<Node4>(As<Node6>(root.get()).a.get());
    ASSERT_EQ(outer.childCount, 1);
    const Node5& texture = As<Node5>(outer.children[0].node.get());
    const Node4& inner = As<Node4>(texture.a.get());
    ASSERT_EQ(inner.childCount, 2);
    // The second polygon's corners (0.5, 0, 0), (1.5, 0, 0), (0.5, 1, 0) all
    // differ from the first's.
    EXPECT_EQ(As<Node81F>(inner.children[1].node.get()).corners[0].vtx, 3);
    EXPECT_EQ(vertices.count(), 6);
    EXPECT_EQ(console.text().find("N*!F"), std::string::npos);
}

TEST_F(Convert, mixed_textures_give_one_texture_node_per_polygon) {
    BSPNode node;
    node.polys.Add(Triangle(0), &materials);
    node.onfront = ListOf({Triangle(0), Triangle(1), Triangle(9)}, materials);
    const std::unique_ptr<Node> root = Run(node);
    const Node4& outer = As<Node4>(As<Node6>(root.get()).a.get());
    ASSERT_EQ(outer.childCount, 3);
    EXPECT_EQ(As<Node5>(outer.children[1].node.get()).name, "grass");
    // No material: the empty name, stored like any other, and the grey word.
    const Node5& bare = As<Node5>(outer.children[2].node.get());
    EXPECT_EQ(bare.name, "");
    EXPECT_EQ(bare.stringId, 11);
    EXPECT_EQ(As<Node81F>(bare.a.get()).col, 0xFFFF7FBFu);
    // Identical corners share their records across the polygons.
    EXPECT_EQ(vertices.count(), 3);
    EXPECT_EQ(mips.count(), 3);
    EXPECT_NE(console.text().find("N*!F: \n[0x81F]"), std::string::npos);
}

TEST_F(Convert, clipper_polygons_emit_no_primitive_but_count_for_sharing) {
    struct Entry {
        int32_t material;
        bool clipper;
        int32_t polyClass = 3;
    };
    struct Case {
        const char* name;
        std::vector<Entry> list;
        int outerChildren;  // 0: Create3DO gives null
        const char* firstTexture;
        int32_t firstClass;
        int innerChildren;  // -1: the mixed path, a polygon under each texture
    };
    const Case cases[] = {
        {"lone clipper", {{2, true}}, 0, "", 0, 0},
        {"clippers of one texture", {{2, true}, {3, true}}, 1, "clipper", 3, 0},
        {"clippers of two textures", {{2, true}, {4, true}}, 0, "", 0, 0},
        {"clipper of another texture ends sharing",
         {{0, false}, {2, true}, {0, false}},
         2,
         "road",
         3,
         -1},
        {"shared texture taken from a first clipper",
         {{2, true, 7}, {3, false}},
         1,
         "clipper",
         7,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PolyList list;  // filled by hand: the flags are the case's own
        for (const Entry& e : c.list) {
            Poly poly = Triangle(e.material);
            poly.clipper = e.clipper;
            poly.polyClass = e.polyClass;
            list.items.push_back(poly);
        }
        const std::unique_ptr<Node> result = Create3DO(list, vertices, mips, &materials);
        if (c.outerChildren == 0) {
            EXPECT_EQ(result, nullptr);
            continue;
        }
        const Node* first = result.get();
        if (c.list.size() > 1) {
            const Node4& outer = As<Node4>(result.get());
            ASSERT_EQ(outer.childCount, c.outerChildren);
            first = outer.children[0].node.get();
        }
        const Node5& texture = As<Node5>(first);
        EXPECT_EQ(texture.name, c.firstTexture);
        EXPECT_EQ(texture.classId, c.firstClass);
        if (c.innerChildren >= 0) {
            EXPECT_EQ(As<Node4>(texture.a.get()).childCount, c.innerChildren);
        } else {
            As<Node81F>(texture.a.get());
        }
    }
}

TEST_F(Convert, an_onfront_list_of_only_a_clipper_still_gives_its_plane_node) {
    BSPNode node;
    Poly clipper = Triangle(2, 0, 5);
    node.polys.Add(clipper, &materials);
    node.onfront = ListOf({clipper}, materials);
    const std::unique_ptr<Node> root = Run(node);
    EXPECT_EQ(As<Node6>(root.get()).a, nullptr);
    ASSERT_EQ(planes.count(), 1);
    EXPECT_EQ(planes.entryAt(0)->c0, -5.0);
}

TEST(PolyColour, products_are_truncated_and_ored_in_unmasked) {
    struct Case {
        Colour colour;
        uint32_t word;
    };
    const Case cases[] = {
        {{1.0f, 0.5f, 0.0f}, 0xFF007FFF},
        {{0.0f, 0.0f, 1.0f}, 0xFFFF0000},
        {{2.0f, 0.0f, 0.0f}, 0xFF0001FE},     // 510: no clamping
        {{-1.0f, 0.0f, 0.0f}, 0xFFFFFF01},    // -255: no masking
        {{-0.001f, 0.0f, 0.0f}, 0xFF000000},  // truncated toward zero
        // Out of the 32-bit range or NaN: 0x80000000, which the shifts move
        // out or bit 31 already holds.
        {{1e30f, 0.0f, 0.0f}, 0xFF000000},
        {{0.0f, std::numeric_limits<float>::quiet_NaN(), 0.0f}, 0xFF000000},
        {{0.0f, 0.0f, -std::numeric_limits<float>::infinity()}, 0xFF000000},
    };
    for (const Case& c : cases) {
        Cupboard cupboard;
        Material m;
        m.id = 0;
        m.colour = c.colour;
        cupboard.Add(m);
        Poly poly;
        poly.material = 0;
        EXPECT_EQ(PolyColour(poly, &cupboard), c.word) << std::hex << c.word;
    }
    Poly orphan;
    orphan.material = 5;
    EXPECT_EQ(PolyColour(orphan, nullptr), 0xFFFF7FBFu);
}

TEST_F(Convert, node_without_polygons_of_its_own_appends_a_plane_record_each_time) {
    BSPNode outer;
    outer.polys.Add(Triangle(0), &materials);
    outer.inback = std::make_unique<BSPNode>();
    outer.inback->polys.Add(Triangle(0), &materials);
    outer.inback->infront = Leaf(Triangle(0, 0, 1), materials);
    const std::unique_ptr<Node> root = Run(outer);
    const NodeB& top = As<NodeB>(root.get());
    EXPECT_EQ(top.a, nullptr);
    const NodeB& below = As<NodeB>(top.b.get());
    // Post-order: the leaf's plane, then one (0, 1, 0, 0) per NodeB.
    ASSERT_EQ(planes.count(), 3);
    EXPECT_EQ(below.plane, 1);
    EXPECT_EQ(top.plane, 2);
    const Zertex* record = planes.entryAt(2);
    EXPECT_EQ((std::vector<double>{record->c0, record->c1, record->c2, record->c3}),
              (std::vector<double>{0, 0, 1, 0}));
    EXPECT_NE(console.text().find("@@ type B\n@@ type B\n@@ type 6\n"), std::string::npos);
}

TEST_F(Convert, children_and_on_plane_lists_are_converted_in_slot_order) {
    BSPNode node;
    node.polys.Add(Triangle(0), &materials);
    node.infront = Leaf(Triangle(0, 10, 1), materials);
    node.onfront = ListOf({Triangle(1, 20)}, materials);
    node.onback = ListOf({Triangle(4, 30)}, materials);
    node.inback = Leaf(Triangle(0, 40, -1), materials);
    const std::unique_ptr<Node> root = Run(node);
    const Node8& eight = As<Node8>(root.get());
    EXPECT_EQ(As<Node6>(eight.a.get()).plane, 0);
    EXPECT_EQ(As<Node5>(eight.b.get()).name, "grass");
    EXPECT_EQ(As<Node5>(eight.c.get()).name, "wall");
    EXPECT_EQ(As<Node6>(eight.d.get()).plane, 1);
    EXPECT_EQ(eight.plane, 2);  // the onfront plane, after the children's
    // Vertices: infront side, onfront, onback, inback.
    EXPECT_EQ(vertices.entryAt(0)->c1, 10.0);
    EXPECT_EQ(vertices.entryAt(3)->c1, 20.0);
    EXPECT_EQ(vertices.entryAt(6)->c1, 30.0);
    EXPECT_EQ(vertices.entryAt(9)->c1, 40.0);
    EXPECT_EQ(mips.nameByOffset(0), "road");
    EXPECT_EQ(mips.nameByOffset(5), "grass");
}

TEST_F(Convert, onfront_with_a_child_gives_node9_and_onback_alone_a_reversed_node9) {
    BSPNode both;
    both.polys.Add(Triangle(0), &materials);
    both.onfront = ListOf({Triangle(0)}, materials);
    both.inback = Leaf(Triangle(0, 0, -1), materials);
    const std::unique_ptr<Node> nine = Run(both);
    const Node9& withChild = As<Node9>(nine.get());
    EXPECT_EQ(withChild.a, nullptr);
    As<Node5>(withChild.b.get());
    As<Node6>(withChild.c.get());

    BSPNode back;
    back.polys.Add(Triangle(0), &materials);
    back.onback = ListOf({Triangle(0, 0, 3)}, materials);
    const std::unique_ptr<Node> reversed = Run(back);
    const Node9& onlyB = As<Node9>(reversed.get());
    EXPECT_EQ(onlyB.a, nullptr);
    EXPECT_EQ(onlyB.c, nullptr);
    As<Node5>(onlyB.b.get());
    EXPECT_EQ(planes.entryAt(onlyB.plane)->c0, -3.0);
    EXPECT_NE(console.text().find("@@ type 6, reversed\n"), std::string::npos);
}

TEST_F(Convert, node8_without_onfront_carries_the_splitter_plane) {
    BSPNode node;
    node.polys.Add(Triangle(0), &materials);
    node.plane = Plane{0.0f, 0.0f, -1.0f, 2.0f};
    node.onback = ListOf({Triangle(0, 0, 2)}, materials);
    node.infront = Leaf(Triangle(0, 0, 1), materials);
    const std::unique_ptr<Node> root = Run(node);
    const Node8& eight = As<Node8>(root.get());
    EXPECT_EQ(eight.b, nullptr);
    const Zertex* plane = planes.entryAt(eight.plane);
    EXPECT_EQ((std::vector<double>{plane->c0, plane->c1, plane->c2, plane->c3}),
              (std::vector<double>{2, 0, 0, -1}));

    node.plane = Plane{0, 0, 0, 0};
    EXPECT_EQ(Run(node), nullptr);
}

TEST_F(Convert, a_flat_list_replaces_everything_else_of_the_node) {
    BSPNode node;
    node.polys.Add(Triangle(0), &materials);
    node.onfront = ListOf({Triangle(1)}, materials);
    node.infront = Leaf(Triangle(1, 0, 1), materials);
    node.flatList = ListOf({Triangle(0, 5)}, materials);
    const std::unique_ptr<Node> root = Run(node);
    EXPECT_EQ(As<Node5>(root.get()).name, "road");
    EXPECT_EQ(vertices.count(), 3);
    EXPECT_EQ(planes.count(), 0);
    EXPECT_EQ(file.text(), "");  // no presence line for a flattened node
}

TEST_F(Convert, empty_node_and_planeless_polygon_give_no_node) {
    BSPNode empty;
    EXPECT_EQ(Run(empty), nullptr);
    EXPECT_EQ(console.text(), "@@ type null\n");

    // A first polygon with two corners has no plane: the node is dropped,
    // but what its list entered stays in the tables.
    RecordingMessageBoxSink boxes;
    context.messageBox = &boxes;
    BSPNode degenerate;
    Poly line = Triangle(0);
    line.points.pop_back();
    degenerate.polys.Add(line, &materials);
    degenerate.onfront = ListOf({line}, materials);
    EXPECT_EQ(Run(degenerate), nullptr);
    EXPECT_EQ(boxes.messages,
              (std::vector<std::string>{"Can't calculate plane due to lack of points"}));
    EXPECT_EQ(vertices.count(), 2);
    EXPECT_EQ(planes.count(), 0);
}

}  // namespace
}  // namespace tarvel
