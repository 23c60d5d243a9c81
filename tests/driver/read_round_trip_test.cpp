#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "driver/compile_driver.h"
#include "driver/import.h"
#include "driver/large_stack.h"
#include "driver/record_mesh_file.h"
#include "log/log.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "threedo/file_writer.h"
#include "threedo/threedo_file.h"

// A file the compiler writes, read back and written again with its own
// pools and names, gives the same bytes.

namespace tarvel {
namespace {

namespace fs = std::filesystem;

using tarvel::testing::ReadBytes;

class RoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        context.memo = &memo;
        context.messageBox = &boxes;
        scope.emplace(context);
    }

    // Compiles polys into a file and returns its bytes.
    std::vector<uint8_t> Compile(const PolyList& polys, Cupboard& cupboard,
                                 const ConvertOptions& options = {}) {
        const ConvertReport report = RunConversion(
            &polys, &cupboard, [&] { return std::optional<std::string>(target); }, options);
        EXPECT_EQ(report.status, ConvertStatus::Saved);
        return ReadBytes(target);
    }

    // Reads the file, checks it and writes it again, all on a large stack
    // (the trees are as deep as the scenes make them).
    void ExpectSameBytesAfterRewrite(const std::vector<uint8_t>& bytes) {
        RunOnLargeStack([&] {
            LoadResult loaded = LoadThreeDo(bytes, LoadOptions{1'000'000});
            ASSERT_TRUE(loaded.ok()) << loaded.error.what << " at " << loaded.error.offset;
            const ThreeDoFile& file = *loaded.file;
            const std::optional<ThreeDoError> problem = CheckConsistency(file);
            EXPECT_FALSE(problem.has_value()) << problem->what << " at " << problem->offset;
            EXPECT_EQ(file.records.size(), static_cast<std::size_t>(CountNodeRecords(*file.root)));
            const std::optional<std::vector<uint8_t>> again =
                Assemble3DO(*file.root, file.vertices, file.planes, file.strings);
            ASSERT_TRUE(again.has_value());
            EXPECT_EQ(*again, bytes);
        });
    }

    LogContext context;
    VectorMemoSink memo;
    RecordingMessageBoxSink boxes;
    std::optional<ScopedLogContext> scope;
    testing::TempDir temp{"tarvel-round-trip"};
    const std::string target = (temp / "out.3do").string();
};

TEST_F(RoundTrip, compiled_examples_rewrite_to_the_same_bytes) {
    int examples = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(TARVEL_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".ase") {
            continue;
        }
        SCOPED_TRACE(entry.path().string());
        ++examples;
        BeginPick();
        std::optional<ImportedScene> scene = ImportAse(entry.path().string());
        ASSERT_TRUE(scene.has_value());
        ExpectSameBytesAfterRewrite(Compile(scene->polys, scene->cupboard));
    }
    EXPECT_GT(examples, 0);
}

Poly Triangle(int32_t material, float z, bool facingDown, float shift = 0) {
    Poly poly;
    APoint p0{shift, 0, z, 0, 0.5f, 0, 0, 0};
    APoint p1{shift + 1, 0, z, 1, 0.2f, 0, 0, 0};
    APoint p2{shift, 1, z, 0, 1.3f, 0, 0, 0};
    poly.points = facingDown ? std::vector<APoint>{p0, p2, p1} : std::vector<APoint>{p0, p1, p2};
    poly.material = material;
    poly.polyClass = 3 + material;
    ComputePlane(poly);
    return poly;
}

// Layers of triangles facing both ways with several textures: plane nodes
// with all their slots, groups of several polygons and texture nodes.
// Material 3 is a clipper.
void LayeredScene(PolyList& polys, Cupboard& cupboard, bool withClippers) {
    for (int32_t id = 0; id < 4; ++id) {
        Material material;
        material.id = id;
        material.bmpname = id == 3 ? "clipper" : "C:\\maps\\tex" + std::to_string(id) + ".tga";
        cupboard.Add(material);
    }
    for (int layer = -2; layer <= 2; ++layer) {
        const auto z = static_cast<float>(layer);
        polys.Add(Triangle(layer & 1, z, false), &cupboard);
        polys.Add(Triangle(2, z, false, 3), &cupboard);
        if (layer != 0) {
            polys.Add(Triangle(1, z, true, 6), &cupboard);
        }
        if (withClippers) {
            polys.Add(Triangle(3, z + 0.5f, layer < 0, 1.5f), &cupboard);
        }
    }
}

TEST_F(RoundTrip, layered_scene_rewrites_to_the_same_bytes) {
    Cupboard cupboard;
    PolyList polys;
    LayeredScene(polys, cupboard, false);
    const std::vector<uint8_t> bytes = Compile(polys, cupboard);
    ASSERT_FALSE(bytes.empty());
    ExpectSameBytesAfterRewrite(bytes);

    // The tree uses the plane node kinds this scene was built to give.
    const LoadResult loaded = LoadThreeDo(bytes);
    ASSERT_TRUE(loaded.ok());
    std::map<uint32_t, int> byType;
    for (const RecordExtent& record : loaded.file->records) {
        ++byType[record.type];
    }
    EXPECT_GT(byType[8], 0);
    EXPECT_GT(byType[4], 0);
    EXPECT_EQ(byType[0x81F], byType[5]);
}

// A polygon as the conversion turns it into a record: its corners and the
// texture name it gets.
struct Written {
    std::vector<std::array<double, 3>> corners;
    std::string texture;
    bool operator==(const Written&) const = default;
};

// The non-clipper polygons of a built tree in the order the conversion
// writes them: a flat list alone, else infront, onfront, onback, inback.
void CollectWritten(const BSPNode& node, const Cupboard& cupboard, std::vector<Written>& out) {
    const auto add = [&](const PolyList* list) {
        for (const Poly& poly : list != nullptr ? list->items : std::vector<Poly>{}) {
            if (!poly.clipper) {
                Written w{{}, cupboard.FindBitmapName(poly.material, poly.subMaterial)};
                for (const APoint& p : poly.points) {
                    w.corners.push_back({p.x, p.y, p.z});
                }
                out.push_back(std::move(w));
            }
        }
    };
    if (node.flatList && !node.flatList->Empty()) {
        add(node.flatList.get());
        return;
    }
    if (node.infront) {
        CollectWritten(*node.infront, cupboard, out);
    }
    add(node.onfront.get());
    add(node.onback.get());
    if (node.inback) {
        CollectWritten(*node.inback, cupboard, out);
    }
}

TEST_F(RoundTrip, polygon_records_give_back_the_compiled_polygons_but_the_clippers) {
    Cupboard cupboard;
    PolyList polys;
    LayeredScene(polys, cupboard, true);
    std::vector<Written> compiled;
    ConvertOptions options;
    options.plan = PlanBuild({.readsTree = true});
    options.afterBuild = [&](const BSPNode& root) { CollectWritten(root, cupboard, compiled); };
    Compile(polys, cupboard, options);

    const RecordMeshResult read = ReadRecordMesh(target);
    ASSERT_TRUE(read.mesh.has_value()) << read.error;
    std::vector<Written> records;
    for (const RecordPolygon& polygon : read.mesh->polygons) {
        Written w;
        for (const RecordCorner& c : polygon.corners) {
            w.corners.push_back(read.mesh->points[static_cast<std::size_t>(c.vtx)]);
        }
        w.texture = polygon.texture >= 0
                        ? read.mesh->textures[static_cast<std::size_t>(polygon.texture)]
                        : "";
        records.push_back(std::move(w));
    }
    EXPECT_GT(compiled.size(), 12u);
    EXPECT_EQ(records.size(), compiled.size());
    EXPECT_TRUE(records == compiled);
    EXPECT_GT(read.mesh->planeNodes, 1);
}

}  // namespace
}  // namespace tarvel
