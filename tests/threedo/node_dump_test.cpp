#include <gtest/gtest.h>

#include <memory>

#include "log/log.h"
#include "threedo/binary_io.h"
#include "threedo/nodes.h"
#include "threedo/zertex_list.h"

namespace tarvel {
namespace {

class ConsoleCapture {
  public:
    ConsoleCapture() {
        context.console = &console;
        scope.emplace(context);
    }
    LogContext context;
    StringTextSink console;
    std::optional<ScopedLogContext> scope;
};

std::unique_ptr<Node81F> Triangle() {
    auto tri = std::make_unique<Node81F>();
    tri->col = 0xFF007FFF;
    tri->AddVertex(0, 0, 0.0, 0.25);
    tri->AddVertex(1, 0, 1.0, 0.5);
    tri->AddVertex(12, 0, 0.125, 1.0);
    return tri;
}

const char* const kTriangleDump =
    "[0x81F]: col 0xFF007FFF,   3 vertices\n"
    "[   0]: vtx:      0, tx,ty: (0.00, 0.25)\n"
    "[   1]: vtx:      1, tx,ty: (1.00, 0.50)\n"
    "[   2]: vtx:     12, tx,ty: (0.12, 1.00)\n"
    "\n";

TEST(NodeDump, group_shows_ordinals_before_write_and_offsets_after) {
    ConsoleCapture capture;
    Node4 group;
    auto texture = std::make_unique<Node5>();
    texture->kind = 5;
    texture->stringId = 4;
    texture->name = "road";
    texture->a = Triangle();
    group.AppendChild(std::move(texture));
    group.AppendChild(nullptr);
    group.AppendChild(Triangle());
    group.Dump();
    EXPECT_EQ(capture.console.text(),
              std::string("Type   4 node,     3 children\n") +
                  "  [       0]: " + "[0x  5]: string id:    4, 'road', class :   3\n" +
                  kTriangleDump + "  [       1]: Null child\n" + "  [       2]: " + kTriangleDump);

    ByteWriter out;
    out.writeU32(0);
    group.Write(out, 4, ZertexList{}, ZertexList{});
    capture.console.Clear();
    group.Dump();
    EXPECT_NE(capture.console.text().find("  [      38]: [0x  5]"), std::string::npos);
    EXPECT_NE(capture.console.text().find("  [      4C]: [0x81F]"), std::string::npos);
}

TEST(NodeDump, plane_nodes_print_their_plane_and_missing_children) {
    ConsoleCapture capture;
    Node9 nine;
    nine.plane = 17;
    nine.b = Triangle();
    nine.Dump();
    EXPECT_EQ(capture.console.text(),
              std::string("Type   9, plane:     17\n") + "a: NULL\n" + kTriangleDump + "c: NULL\n");

    capture.console.Clear();
    NodeB split;
    split.plane = 2;
    split.b = std::make_unique<Node6>();
    split.Dump();
    EXPECT_EQ(capture.console.text(), "Type   B, plane:      2\nType   6, plane:      0\n");

    capture.console.Clear();
    Node8 eight;
    eight.a = Triangle();
    eight.Dump();
    EXPECT_EQ(capture.console.text(), "");
}

TEST(NodeDump, lists_and_coloured_polygons_print_every_entry) {
    ConsoleCapture capture;
    Node10 numbers;
    numbers.numbers = {5, 0xFFFFFFFF};
    numbers.childCount = 2;
    numbers.Dump();
    Node820 coloured;
    coloured.col = 1;
    coloured.AddVertex(3, 0xABCDEF01, 0.5, 0.75);
    coloured.Dump();
    EXPECT_EQ(capture.console.text(),
              "Type  10,     2 numbers.\n          5,          -1, .\n"
              "[0x820]: col 0x00000001,   1 vertices\n"
              "[   0]: vtx:      3, col: 0xABCDEF01, tx,ty: (0.50, 0.75)\n\n");
}

TEST(NodeDump, nothing_is_printed_with_the_debug_switch_off) {
    ConsoleCapture capture;
    capture.context.debugDumps = false;
    Node6 node;
    node.a = Triangle();
    node.Dump();
    EXPECT_EQ(capture.console.text(), "");
}

}  // namespace
}  // namespace tarvel
