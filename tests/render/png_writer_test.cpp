#include <gtest/gtest.h>

#include <filesystem>

#include "png_reader.h"
#include "render/png_writer.h"
#include "support/temp_dir.h"

namespace tarvel::render {
namespace {

TEST(PngWriter, round_trips_every_pixel) {
    FrameBuffer picture;
    picture.Resize(7, 3);
    for (std::size_t i = 0; i < picture.colour.size(); ++i) {
        const auto v = static_cast<uint8_t>(i * 11);
        picture.colour[i] = PackRgba(v, static_cast<uint8_t>(255 - v), 7, 255);
    }
    tarvel::testing::TempDir dir;
    const std::string path = (dir.path() / "p.png").string();
    ASSERT_EQ(WritePng(path, picture), "");
    const auto decoded = testing::ReadPng(path);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 7);
    EXPECT_EQ(decoded->height, 3);
    EXPECT_EQ(decoded->rgba, picture.colour);
}

TEST(PngWriter, reports_a_path_it_cannot_create) {
    FrameBuffer picture;
    picture.Resize(2, 2);
    EXPECT_NE(WritePng("/nonexistent-dir/x.png", picture), "");
    picture.Resize(0, 0);
    EXPECT_NE(WritePng("/tmp/never.png", picture), "");
}

}  // namespace
}  // namespace tarvel::render
