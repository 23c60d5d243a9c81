#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ase/scene.h"
#include "log/log.h"

namespace tarvel {
namespace {

using ::testing::ElementsAre;

Material MaterialOf(int32_t id, int32_t submtlid, std::string bmpname) {
    Material m;
    m.id = id;
    m.submtlid = submtlid;
    m.bmpname = std::move(bmpname);
    return m;
}

TEST(Scene, fix_bitmap_name_keeps_the_bare_name_after_the_last_backslash) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\maps\\road.tga", "road"},
        {"C:\\my.maps\\road.tga", "road"},
        {"road.old.tga", "road"},
        {"maps/road.tga", "maps/road"},  // a forward slash is an ordinary character
        {"Road", "Road"},
        {"C:\\maps\\", ""},
        {".tga", ""},
        {"C:\\Maps\\Road.TGA", "Road"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(FixBitmapName(in), out) << in;
        EXPECT_EQ(FixBitmapName(FixBitmapName(in)), out) << "twice: " << in;
    }
}

TEST(Scene, fix_bitmap_names_reports_each_material_before_and_after) {
    LogContext context;
    VectorMemoSink memo;
    context.memo = &memo;
    ScopedLogContext scope(context);
    Cupboard cupboard;
    cupboard.Add(MaterialOf(0, -1, "C:\\maps\\road.tga"));
    cupboard.Add(MaterialOf(1, -1, ""));
    cupboard.FixBitmapNames();
    EXPECT_EQ(cupboard.At(0).bmpname, "road");
    EXPECT_THAT(memo.lines, ElementsAre("Current bmpname: C:\\maps\\road.tga", "after fixing: road",
                                        "Current bmpname: ", "after fixing: "));
}

TEST(Scene, find_material_prefers_both_numbers_then_the_first_with_the_id) {
    Cupboard cupboard;
    cupboard.Add(MaterialOf(0, -1, "grass"));
    cupboard.Add(MaterialOf(1, -1, "house"));
    cupboard.Add(MaterialOf(1, 0, "walls"));
    cupboard.Add(MaterialOf(1, 1, "roof"));
    cupboard.Add(MaterialOf(1, 1, "repeated"));
    const struct {
        int32_t id, submtlid;
        const char* bmpname;
    } cases[] = {
        {1, 1, "roof"},                    // the first of two equal entries
        {1, 0, "walls"}, {1, 5, "house"},  // no sub-material 5: the parent
        {0, 3, "grass"}, {2, -1, ""},     {-1, -1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cupboard.FindBitmapName(c.id, c.submtlid), c.bmpname)
            << c.id << "/" << c.submtlid;
    }
    EXPECT_EQ(cupboard.FindMaterial(2, 0), nullptr);
    EXPECT_EQ(cupboard.FindMaterial(1, 1), &cupboard.At(3));
}

TEST(Scene, dump_right_aligns_the_numbers) {
    LogContext context;
    VectorMemoSink memo;
    context.memo = &memo;
    ScopedLogContext scope(context);
    Cupboard cupboard;
    Material m = MaterialOf(12, -1, "road");
    m.colour = Colour{0.5f, 0.25f, 1.0f};
    cupboard.Add(m);
    cupboard.Dump();
    EXPECT_THAT(memo.lines, ElementsAre("1 materials",
                                        "Material id   12, submtlid   -1, colour (0.5000, "
                                        "0.2500, 1.0000), bmpname: 'road'"));
}

TEST(Scene, compile_pairs_faces_and_texture_faces_by_position) {
    GeomObject geo;
    for (int i = 0; i < 3; ++i) {
        geo.AddFace(Face{});
    }
    geo.AddTVertex(TVertex{0, 0.25f, 0.5f, 0.0f});
    geo.AddTVertex(TVertex{1, 0.75f, 1.0f, 0.0f});
    geo.AddTFace(TFace{0, 1, 0, 1});
    geo.AddTFace(TFace{1, 0, 2, -1});  // 2 and -1 are outside the list
    geo.Compile();
    EXPECT_EQ(geo.faces[0].uv[0].u, 0.75f);
    EXPECT_EQ(geo.faces[0].uv[1].v, 0.5f);
    EXPECT_EQ(geo.faces[1].uv[0].u, 0.25f);
    EXPECT_EQ(geo.faces[1].uv[1].u, 0.0f);
    EXPECT_EQ(geo.faces[1].uv[2].v, 0.0f);
    // Past the last texture face the coordinates stay zero.
    EXPECT_EQ(geo.faces[2].uv[0].u, 0.0f);
}

}  // namespace
}  // namespace tarvel
