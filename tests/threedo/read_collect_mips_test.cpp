#include <gtest/gtest.h>

#include "log/log.h"
#include "threedo/gstring_list.h"
#include "threedo/nodes.h"

namespace tarvel {
namespace {

std::unique_ptr<Node5> Texture(int32_t kind, std::optional<std::string> name, int32_t stringId) {
    auto node = std::make_unique<Node5>();
    node->kind = kind;
    node->name = std::move(name);
    node->stringId = stringId;
    return node;
}

TEST(CollectMips, enters_missing_names_and_takes_their_offsets) {
    // A group over a plane node over textures, so every walk is exercised.
    Node4 root;
    auto plane = std::make_unique<Node9>();
    plane->a = Texture(5, "wall", 40);
    plane->c = Texture(1, "floor", 41);
    Node9* planeNode = plane.get();
    root.AppendChild(std::move(plane));
    root.AppendChild(nullptr);
    root.AppendChild(Texture(5, "wall", 42));
    auto keyed = std::make_unique<Node11>();
    keyed->pairs.resize(2);
    keyed->pairs[1].node = Texture(5, "sky", 43);
    Node11* keyedNode = keyed.get();
    root.AppendChild(std::move(keyed));
    root.AppendChild(Texture(4, std::nullopt, 44));  // class only: no texture

    GStringList strings;
    strings.addName("sky");
    root.CollectMips(strings);

    ASSERT_EQ(strings.count(), 3);
    EXPECT_EQ(strings.entries()[1].name, "wall");
    EXPECT_EQ(strings.entries()[2].name, "floor");
    EXPECT_EQ(dynamic_cast<Node5&>(*planeNode->a).stringId, 4);
    EXPECT_EQ(dynamic_cast<Node5&>(*planeNode->c).stringId, 9);
    EXPECT_EQ(dynamic_cast<Node5&>(*root.children[2].node).stringId, 4);
    EXPECT_EQ(dynamic_cast<Node5&>(*keyedNode->pairs[1].node).stringId, 0);
    EXPECT_EQ(dynamic_cast<Node5&>(*root.children[4].node).stringId, 44);
}

TEST(CollectMips, texture_node_without_a_name_reports_and_takes_minus_one) {
    LogContext context;
    StringTextSink console;
    context.console = &console;
    ScopedLogContext scope(context);
    std::unique_ptr<Node5> node = Texture(5, std::nullopt, 8);
    GStringList strings;
    node->CollectMips(strings);
    EXPECT_EQ(node->stringId, -1);
    EXPECT_EQ(strings.count(), 0);
    EXPECT_EQ(console.text(), "Doh! - 5\n");
}

}  // namespace
}  // namespace tarvel
