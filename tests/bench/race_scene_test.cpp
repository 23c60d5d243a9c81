#include "scene_generator/race_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "bench/generated_import.h"
#include "scene_generator/gears.h"
#include "scene_generator/props.h"
#include "scene_generator/staircase.h"

namespace tarvel::scenegen {
namespace {

using testing::AseText;
using testing::FindObject;
using testing::ImportGenerated;

TEST(RaceScene, same_seed_gives_same_bytes_and_another_seed_differs) {
    for (int64_t size : {1000, 5000}) {
        const std::string first = AseText(GenerateRaceScene(size, 7));
        EXPECT_EQ(first, AseText(GenerateRaceScene(size, 7))) << size;
        EXPECT_NE(first, AseText(GenerateRaceScene(size, 8))) << size;
    }
}

uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 0x100000001b3ULL;
    }
    return hash;
}

// Benchmark figures are only comparable on the same scenes: these bytes must
// not change with the compiler, the optimiser or the C library. Change the
// pinned values only together with a deliberate change of the generator.
TEST(RaceScene, pinned_scenes_keep_their_bytes) {
    EXPECT_EQ(Fnv1a(AseText(GenerateRaceScene(1000, 1))), 12069864490364960886ULL);
    EXPECT_EQ(Fnv1a(AseText(GenerateStaircase(100))), 14962579024860301687ULL);
    EXPECT_EQ(Fnv1a(AseText(GenerateGears(1000, 1))), 271538056606882214ULL);
}

TEST(RaceScene, triangle_count_meets_the_target) {
    for (int64_t size : {1000, 4321, 20000, 100000}) {
        const GeneratedScene scene = GenerateRaceScene(size, 3);
        const auto count = static_cast<int64_t>(scene.TriangleCount());
        EXPECT_LE(count, size) << size;
        EXPECT_GE(count, size - 3) << size;
    }
}

// The reader sees a CR LF file; it ignores the letter of an exponent, so a
// number written as 1e-05 would come back as -1.05.
TEST(RaceScene, writes_crlf_lines_and_plain_decimals) {
    const std::string text = AseText(GenerateRaceScene(2000, 11));
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(0, 24), "*3DSMAX_ASCIIEXPORT\t200\r");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
        }
    }
    EXPECT_EQ(text.find("e-"), std::string::npos);
    EXPECT_EQ(text.find("e+"), std::string::npos);
    EXPECT_EQ(text.find("-0.0000"), std::string::npos);
}

Vec3 FaceNormal(const MeshObject& object, const MeshFace& f) {
    const Vec3 a = object.vertices[f.a], b = object.vertices[f.b], c = object.vertices[f.c];
    return Cross(b - a, c - a);
}

TEST(RaceScene, triangles_have_area_and_stay_within_a_few_kilometres) {
    const GeneratedScene scene = GenerateRaceScene(20000, 5);
    for (const MeshObject& object : scene.objects) {
        for (const MeshFace& f : object.faces) {
            ASSERT_GT(Length(FaceNormal(object, f)), 2e-3) << object.name;
            ASSERT_LT(std::max({f.ta, f.tb, f.tc}), static_cast<int32_t>(object.tverts.size()));
        }
        for (Vec3 p : object.vertices) {
            ASSERT_LT(std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}), 3000.0);
        }
    }
}

TEST(RaceScene, ground_road_kerbs_and_roofs_face_up) {
    const GeneratedScene scene = GenerateRaceScene(20000, 9);
    for (const char* name : {"Terrain", "Road", "Kerbs"}) {
        const MeshObject* object = FindObject(scene, name);
        ASSERT_NE(object, nullptr) << name;
        for (const MeshFace& f : object->faces) {
            ASSERT_GT(Normalize(FaceNormal(*object, f)).z, 0.5) << name;
        }
    }
    const MeshObject* buildings = FindObject(scene, "Buildings");
    ASSERT_NE(buildings, nullptr);
    int roofs = 0;
    for (const MeshFace& f : buildings->faces) {
        const double z = Normalize(FaceNormal(*buildings, f)).z;
        if (f.mtlid == kRoofSubMaterial) {
            ++roofs;
            EXPECT_GT(z, 0.99);
        } else {
            EXPECT_LT(std::fabs(z), 1e-9);
        }
    }
    EXPECT_GT(roofs, 0);
}

// The ground under any point of the track: no higher than the highest corner
// of the grid cell beneath it.
double GroundCeiling(const MeshObject& terrain, double x, double y) {
    const auto side = static_cast<int32_t>(std::lround(std::sqrt(terrain.vertices.size())));
    const double half = -terrain.vertices[0].x;
    const double step = 2.0 * half / (side - 1);
    const auto i = static_cast<int32_t>(std::floor((x + half) / step));
    const auto j = static_cast<int32_t>(std::floor((y + half) / step));
    double ceiling = -1e9;
    for (int32_t dj = 0; dj < 2; ++dj) {
        for (int32_t di = 0; di < 2; ++di) {
            ceiling = std::max(ceiling, terrain.vertices[(j + dj) * side + i + di].z);
        }
    }
    return ceiling;
}

TEST(RaceScene, track_stays_above_the_ground) {
    for (int64_t size : {1000, 20000}) {
        const GeneratedScene scene = GenerateRaceScene(size, 2);
        const MeshObject* terrain = FindObject(scene, "Terrain");
        ASSERT_NE(terrain, nullptr);
        for (const char* name : {"Road", "Kerbs", "Barriers", "ClipperWalls"}) {
            const MeshObject* part = FindObject(scene, name);
            ASSERT_NE(part, nullptr) << name;
            for (Vec3 p : part->vertices) {
                ASSERT_GT(p.z, GroundCeiling(*terrain, p.x, p.y)) << name << " at " << size;
            }
        }
    }
}

TEST(RaceScene, imports_as_one_polygon_per_triangle_with_its_corners) {
    const GeneratedScene scene = GenerateRaceScene(5000, 4);
    const testing::Imported imported = ImportGenerated(scene, "race_import");
    ASSERT_TRUE(imported.result.has_value());
    const ImportedScene& result = *imported.result;
    EXPECT_EQ(result.polys.Count(), static_cast<int32_t>(scene.TriangleCount()));
    EXPECT_FALSE(imported.MemoHas("va|vb|vc == NULL, doh"));
    EXPECT_FALSE(imported.MemoHas("geo->faces[i]==NULL, doh"));
    ASSERT_EQ(result.scene.Count(), static_cast<int32_t>(scene.objects.size()));

    // Polygons come out in file order: compare each corner with the model.
    std::size_t k = 0;
    for (const MeshObject& object : scene.objects) {
        const GeomObject& geom = result.scene.geoms[&object - scene.objects.data()];
        EXPECT_EQ(geom.tfaces.size(), object.faces.size()) << object.name;
        for (const MeshFace& f : object.faces) {
            const Poly& poly = result.polys.items[k++];
            ASSERT_EQ(poly.points.size(), 3u);
            const int32_t corners[3] = {f.a, f.b, f.c};
            const int32_t tcorners[3] = {f.ta, f.tb, f.tc};
            for (int c = 0; c < 3; ++c) {
                const Vec3 p = object.vertices[corners[c]];
                const Vec2 t = object.tverts[tcorners[c]];
                ASSERT_NEAR(poly.points[c].x, p.x, 1e-3) << object.name;
                ASSERT_NEAR(poly.points[c].y, p.y, 1e-3) << object.name;
                ASSERT_NEAR(poly.points[c].z, p.z, 1e-3) << object.name;
                ASSERT_NEAR(poly.points[c].u, t.u, 1e-3) << object.name;
                ASSERT_NEAR(poly.points[c].v, t.v, 1e-3) << object.name;
            }
            ASSERT_EQ(poly.material, object.materialRef);
            ASSERT_EQ(poly.subMaterial, f.mtlid);
        }
    }
}

TEST(RaceScene, clipper_and_sub_materials_resolve_from_the_polygons) {
    const GeneratedScene scene = GenerateRaceScene(5000, 6);
    testing::Imported imported = ImportGenerated(scene, "race_materials");
    ASSERT_TRUE(imported.result.has_value());
    Cupboard& cupboard = imported.result->cupboard;
    // Seven materials, the building material followed by its two subs.
    ASSERT_EQ(cupboard.Count(), 9);
    {
        LogContext quiet;
        ScopedLogContext scope(quiet);
        cupboard.FixBitmapNames();
    }
    int clipper = 0, brick = 0, roof = 0;
    for (const Poly& poly : imported.result->polys.items) {
        const std::string name = cupboard.FindBitmapName(poly.material, poly.subMaterial);
        ASSERT_FALSE(name.empty());
        clipper += name == "clipper";
        brick += name == "brick";
        roof += name == "roof";
    }
    EXPECT_EQ(clipper, static_cast<int>(FindObject(scene, "ClipperWalls")->faces.size()));
    EXPECT_GT(brick, 0);
    EXPECT_GT(roof, 0);
}

}  // namespace
}  // namespace tarvel::scenegen
