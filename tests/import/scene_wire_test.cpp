#include <gtest/gtest.h>

#include <string>

#include "import/scene_wire.h"

namespace tarvel::import {
namespace {

WireScene TwoObjects() {
    WireScene scene;
    scene.up = UpAxis::Y;
    scene.materials = {{Colour{0.5f, 0.25f, 1.0f}, "brick.png"}, {Colour{}, ""}};
    WireObject textured;
    textured.material = 0;
    textured.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    textured.uvs = {{0, 0}, {1, 0}, {0, 1}};
    textured.triangles = {{0, 1, 2}};
    WireObject plain;
    plain.positions = {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
    plain.triangles = {{0, 1, 2}, {2, 1, 3}};
    scene.objects = {textured, plain};
    return scene;
}

TEST(SceneWire, round_trip_keeps_every_record) {
    const WireScene sent = TwoObjects();
    const DecodedOutput got = DecodeOutput(EncodeScene(sent));
    ASSERT_TRUE(got.scene) << got.malformed;
    EXPECT_EQ(got.scene->up, UpAxis::Y);
    ASSERT_EQ(got.scene->materials.size(), 2u);
    EXPECT_EQ(got.scene->materials[0].bitmap, "brick.png");
    EXPECT_EQ(got.scene->materials[0].colour.g, 0.25f);
    ASSERT_EQ(got.scene->objects.size(), 2u);
    EXPECT_EQ(got.scene->objects[0].uvs, sent.objects[0].uvs);
    EXPECT_EQ(got.scene->objects[1].material, kNoMaterial);
    EXPECT_EQ(got.scene->objects[1].positions, sent.objects[1].positions);
    EXPECT_EQ(got.scene->objects[1].triangles, sent.objects[1].triangles);
}

TEST(SceneWire, rejects_every_truncation_and_trailing_bytes) {
    const std::string bytes = EncodeScene(TwoObjects());
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        const DecodedOutput got = DecodeOutput(bytes.substr(0, size));
        EXPECT_FALSE(got.scene) << size;
        EXPECT_FALSE(got.malformed.empty()) << size;
    }
    EXPECT_FALSE(DecodeOutput(bytes + "x").scene);
}

// Offsets into the encoding of TwoObjects: the 8-byte magic, the up axis
// (8), the material count (12), the first material (16: r, g, b, name
// length at 28, "brick.png"), the second (41), the object count (57), then
// the first object: material (61), vertex count (65), uv count (105), triangle
// count (133), the first corner (137).
TEST(SceneWire, rejects_counts_and_indices_that_point_outside) {
    struct Case {
        const char* what;
        std::size_t offset;
        uint32_t value;
    };
    const Case cases[] = {
        {"up axis", 8, 2},
        {"material count beyond the bytes", 12, 0x10000000},
        {"name longer than the bytes", 28, 0xFFFFFFF0},
        {"object count beyond the bytes", 57, 0x7FFFFFFF},
        {"material index", 61, 2},
        {"vertex count beyond the bytes", 65, 0x40000000},
        {"uv count unlike the vertex count", 105, 2},
        {"triangle count beyond the bytes", 133, 1000},
        {"corner index", 137, 3},
    };
    const std::string good = EncodeScene(TwoObjects());
    ASSERT_TRUE(DecodeOutput(good).scene);
    for (const Case& c : cases) {
        std::string bad = good;
        for (int i = 0; i < 4; ++i) {
            bad[c.offset + i] = static_cast<char>((c.value >> (8 * i)) & 0xFF);
        }
        const DecodedOutput got = DecodeOutput(bad);
        EXPECT_FALSE(got.scene) << c.what;
        EXPECT_FALSE(got.malformed.empty()) << c.what;
    }
}

TEST(SceneWire, failure_message_travels_whole) {
    const DecodedOutput got = DecodeOutput(EncodeFailure("OBJ: too many indices"));
    EXPECT_FALSE(got.scene);
    EXPECT_EQ(got.failure, "OBJ: too many indices");
}

}  // namespace
}  // namespace tarvel::import
