#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "driver/compile_driver.h"
#include "driver/import.h"
#include "driver/large_stack.h"
#include "log/log.h"
#include "log/thread_budget.h"
#include "support/awkward_polys.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/threedo_structure.h"
#include "threedo/atomic_file.h"
#include "threedo/convert.h"
#include "threedo/file_writer.h"
#include "threedo/prim_stream.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

using tarvel::testing::ReadBytes;

Poly Triangle(int32_t material, float z = 0) {
    Poly poly;
    poly.points = {APoint{0, 0, z, 0, 0.5f, 0, 0, 0}, APoint{1, 0, z, 1, 0.5f, 0, 0, 0},
                   APoint{0, 1, z, 0, 1, 0, 0, 0}};
    poly.material = material;
    poly.polyClass = 3;
    ComputePlane(poly);
    return poly;
}

// The fast plan a front end makes on this machine's cores, with the root's
// list kept for a hook.
BuildPlan Plan(BuildRequest request) {
    request.readsTree = true;
    request.threads = MachineCores();
    return PlanBuild(request);
}

class Driver : public ::testing::Test {
  protected:
    void SetUp() override {
        context.memo = &memo;
        context.messageBox = &boxes;
        scope.emplace(context);
        target = (dir / "out.3do").string();
        Material m;
        m.id = 0;
        m.bmpname = "C:\\maps\\abc.tga";
        cupboard.Add(m);
        polys.Add(Triangle(0), &cupboard);
    }

    ConvertReport Run(const ConvertOptions& options = {}) {
        return RunConversion(
            &polys, &cupboard,
            [this] {
                ++asked;
                return std::optional<std::string>(target);
            },
            options);
    }
    bool MemoHas(const std::string& line) const {
        return std::find(memo.lines.begin(), memo.lines.end(), line) != memo.lines.end();
    }

    LogContext context;
    VectorMemoSink memo;
    RecordingMessageBoxSink boxes;
    std::optional<ScopedLogContext> scope;
    testing::TempDir temp{"tarvel-driver"};
    const fs::path& dir = temp.path();
    std::string target;
    Cupboard cupboard;
    PolyList polys;
    int asked = 0;
};

TEST_F(Driver, saves_one_triangle_and_lists_its_textures) {
    const ConvertReport report = Run();
    EXPECT_EQ(report.status, ConvertStatus::Saved);
    EXPECT_EQ(report.path, target);
    EXPECT_EQ(report.vertices, 3);
    EXPECT_EQ(report.planes, 1);
    EXPECT_EQ(report.textures, 1);
    EXPECT_EQ(report.nodeRecords, 3);
    EXPECT_EQ(report.bytesWritten, 220u);
    EXPECT_EQ(ReadBytes(target).size(), 220u);
    // The memo ends with the save and the fixed texture name.
    const std::vector<std::string> tail(memo.lines.end() - 3, memo.lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Saving 3DO to '" + target + "'...",
                                              "...Saved, MIPs referenced:", "abc.mip"}));
    EXPECT_TRUE(MemoHas("BSPRoot now contains all polys"));
    EXPECT_TRUE(boxes.messages.empty());
    EXPECT_EQ(polys.Count(), 1);  // the picked list is not changed
}

TEST_F(Driver, stops_without_a_poly_list_or_without_a_root) {
    EXPECT_EQ(
        RunConversion(nullptr, &cupboard, [] { return std::optional<std::string>("x"); }).status,
        ConvertStatus::NoPolyList);
    EXPECT_TRUE(memo.lines.empty());

    std::ofstream(target) << "old";
    polys.items.clear();
    const ConvertReport report = Run();
    EXPECT_EQ(report.status, ConvertStatus::NothingToSave);
    EXPECT_EQ(asked, 0);  // checked before the save path is asked for
    EXPECT_EQ(memo.lines.back(), "Nothing to save: the conversion produced no nodes.");
    EXPECT_EQ(boxes.messages.back(), "See log for error.\n");
    EXPECT_EQ(ReadBytes(target).size(), 3u);
}

TEST_F(Driver, cancelling_the_save_path_writes_nothing) {
    const ConvertReport report =
        RunConversion(&polys, &cupboard, [] { return std::optional<std::string>(); });
    EXPECT_EQ(report.status, ConvertStatus::Cancelled);
    EXPECT_EQ(boxes.messages, (std::vector<std::string>{"3DO not saved.  Re-BSP to save.\n"}));
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(Driver, failed_saves_report_the_error_and_keep_the_old_file) {
    target = (dir / "missing" / "out.3do").string();
    EXPECT_EQ(Run().status, ConvertStatus::OpenFailed);
    EXPECT_EQ(memo.lines.back(), "Error when opening '" + target + "' for output.");
    EXPECT_EQ(boxes.messages.back(), "See log for error.\n");

    target = (dir / "out.3do").string();
    std::ofstream(target) << "old";
    SaveHooks full;
    full.write = [](int, const uint8_t*, std::size_t) -> long {
        errno = ENOSPC;
        return -1;
    };
    ConvertOptions options;
    options.saveHooks = &full;
    memo.lines.clear();
    const ConvertReport report = Run(options);
    EXPECT_EQ(report.status, ConvertStatus::WriteFailed);
    EXPECT_EQ(report.bytesWritten, 0u);
    EXPECT_EQ(memo.lines.back(), "Error when writing '" + target + "'.");
    EXPECT_FALSE(MemoHas("...Saved, MIPs referenced:"));
    EXPECT_EQ(boxes.messages.back(), "See log for error.\n");
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(Driver, compiles_the_bundled_example_into_a_consistent_file) {
    std::optional<ImportedScene> scene = ImportAse(TARVEL_EXAMPLES_DIR "/village.ase");
    ASSERT_TRUE(scene.has_value());
    const ConvertReport report = RunConversion(
        &scene->polys, &scene->cupboard, [this] { return std::optional<std::string>(target); });
    ASSERT_EQ(report.status, ConvertStatus::Saved);
    const testing::Structure s = testing::StructureReader(ReadBytes(target)).Check();
    EXPECT_EQ(s.error, "");
    EXPECT_EQ(s.vertices, static_cast<uint32_t>(report.vertices));
    EXPECT_EQ(s.planes, static_cast<uint32_t>(report.planes));
    EXPECT_EQ(s.names, static_cast<uint32_t>(report.textures));
    EXPECT_EQ(s.records, static_cast<uint32_t>(report.nodeRecords));
    EXPECT_GT(report.nodeRecords, 10);
    // The same scene compiles to the same bytes again.
    const std::vector<uint8_t> first = ReadBytes(target);
    ASSERT_EQ(RunConversion(&scene->polys, &scene->cupboard,
                            [this] { return std::optional<std::string>(target); })
                  .status,
              ConvertStatus::Saved);
    EXPECT_EQ(ReadBytes(target), first);
}

// Without the log, the conversion follows the build node by node on a second
// thread; with the console dumps (which do not change how the build counts)
// it waits for the whole tree. Either way the same file comes out, with the
// same memo and counts, and the hook after the build sees the whole tree.
TEST_F(Driver, the_conversion_that_follows_the_build_writes_what_the_one_after_it_does) {
    Material clipper;
    clipper.id = 1;
    clipper.bmpname = "clipper";
    cupboard.Add(clipper);
    struct Case {
        const char* name;
        std::vector<Poly> polys;
        bool guardFires;  // checked only when set
    };
    std::vector<Case> cases;
    cases.push_back({"awkward cloud, non-finite", testing::AwkwardScene(3, 3000, 50, true), false});
    // Two collinear triangles lie in front of their shared degenerate plane
    // at every node: the guard flattens them.
    cases.push_back({"two collinear triangles", {}, true});
    for (const float z : {5.0f, 6.0f}) {
        Poly collinear = Triangle(0, z);
        collinear.points[2] = APoint{2, 0, z, 0, 0, 0, 0, 0};
        ComputePlane(collinear);
        cases.back().polys.push_back(collinear);
    }
    // The same as clippers: the flat list is empty, so the conversion goes
    // on into the children the build never entered.
    cases.push_back({"two collinear clipper triangles", cases.back().polys, true});
    for (Poly& poly : cases.back().polys) {
        poly.material = 1;
    }
    cases.push_back({"spiked shell, a chain 600 deep", testing::SpikedShell(600, 20, 4), false});
    cases.push_back({"one triangle", {Triangle(0)}, false});
    for (Case& c : cases) {
        for (std::size_t i = 0; i < c.polys.size(); i += 5) {
            c.polys[i].material = 1;
        }
    }
    const Cupboard materials = cupboard;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        polys.items = c.polys;
        int32_t rootPolys[2] = {-1, -1};
        ConvertOptions options;
        options.plan = Plan({.consoleDumps = true});
        options.afterBuild = [&rootPolys](const BSPNode& root) {
            rootPolys[root.published ? 1 : 0] = root.polys.Count();
        };
        StringTextSink dumps;
        context.console = &dumps;
        memo.lines.clear();
        cupboard = materials;
        const ConvertReport wanted = Run(options);
        context.console = nullptr;
        options.plan = Plan({});
        const std::vector<uint8_t> wantedBytes = ReadBytes(target);
        const std::vector<std::string> wantedMemo(memo.lines.begin(), memo.lines.end());
        memo.lines.clear();
        cupboard = materials;
        const ConvertReport got = Run(options);
        ASSERT_EQ(got.status, ConvertStatus::Saved);
        // Each way the hook saw the finished tree, with the root's list whole.
        EXPECT_GT(rootPolys[0], 0);
        EXPECT_EQ(rootPolys[1], rootPolys[0]);
        EXPECT_EQ(ReadBytes(target), wantedBytes);
        EXPECT_EQ(std::vector<std::string>(memo.lines.begin(), memo.lines.end()), wantedMemo);
        EXPECT_EQ(
            (std::array{got.vertices, got.planes, got.textures, got.nodeRecords}),
            (std::array{wanted.vertices, wanted.planes, wanted.textures, wanted.nodeRecords}));
        // The guard's work is gathered by the build itself, so a conversion
        // that frees the tree behind it loses none of it.
        EXPECT_EQ(got.flatLists, wanted.flatLists);
        if (c.guardFires) {
            EXPECT_EQ(got.flatLists.lists, 1);
            EXPECT_TRUE(std::any_of(
                wantedMemo.begin(), wantedMemo.end(),
                [](const std::string& line) { return line.starts_with("Recursion occured"); }));
        }
    }
}

// A build that fails while the conversion waits on it: the conversion is
// let go and the build's own error comes out.
TEST_F(Driver, a_build_that_fails_lets_the_following_conversion_go) {
    struct Stop : std::runtime_error {
        Stop() : std::runtime_error("stop") {}
    };
    struct ThrowingBoxes final : MessageBoxSink {
        void ShowMessage(std::string_view) override { throw Stop(); }
    } throwing;
    context.messageBox = &throwing;
    polys.items = testing::AwkwardScene(4, 300, 20, false);
    Poly twoCorners = Triangle(0);
    twoCorners.points.pop_back();
    polys.items.push_back(twoCorners);  // its plane cannot be computed: a message box
    ConvertOptions options;
    options.plan = Plan({});
    EXPECT_THROW(Run(options), Stop);
    EXPECT_EQ(asked, 0);
}

// Sets the stop flag once the build has entered its nth node.
struct StopAtNode final : CounterSink {
    StopAtNode(StopFlag& flag, int32_t node) : flag(flag), node(node) {}
    void CountersChanged(const Counters& counters) override {
        if (counters.nodeCount >= node) {
            flag.store(true);
        }
    }
    StopFlag& flag;
    int32_t node;
};

// A stop ends the compile at its next check wherever it comes: in the build
// (the conversion following it and a second thread searching splitters, or
// the log on and the conversion after it), once the build is done, or while
// the save path is asked for. Nothing is written, the old file stays, the
// memo says so and the counters stay where the build stopped.
TEST_F(Driver, a_stop_ends_the_compile_at_the_next_node_and_writes_nothing) {
    enum class When { AtNode20, AfterBuild, AskingForPath };
    struct Case {
        const char* name;
        bool log;
        When when;
    };
    const Case cases[] = {
        {"in the build, the conversion following", false, When::AtNode20},
        {"in the build, with the log", true, When::AtNode20},
        {"after the build, the conversion following", false, When::AfterBuild},
        {"after the build, with the log", true, When::AfterBuild},
        {"while the save path is asked for", false, When::AskingForPath},
    };
    std::ofstream(target) << "old";
    // Large enough for the splitter search on a second thread.
    polys.items = testing::AwkwardScene(7, 6000, 200, false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StopFlag flag{false};
        StopAtNode stopAtNode(flag, 20);
        StringTextSink logFile;
        context.stop = &flag;
        context.logFile = c.log ? &logFile : nullptr;
        context.counterSink = c.when == When::AtNode20 ? &stopAtNode : nullptr;
        context.counters.Reset();
        memo.lines.clear();
        asked = 0;
        ConvertOptions options;
        options.plan = Plan({.logFile = c.log});
        if (c.when == When::AfterBuild) {
            options.afterBuild = [&flag](const BSPNode&) { flag.store(true); };
        }
        const ConvertReport report = RunConversion(
            &polys, &cupboard,
            [&] {
                ++asked;
                flag.store(flag.load() || c.when == When::AskingForPath);
                return std::optional<std::string>(target);
            },
            options);
        EXPECT_EQ(report.status, ConvertStatus::Stopped);
        EXPECT_EQ(asked, c.when == When::AskingForPath ? 1 : 0);
        ASSERT_FALSE(memo.lines.empty());
        EXPECT_EQ(memo.lines.back(), kStoppedLine);
        EXPECT_FALSE(MemoHas("...Saved, MIPs referenced:"));
        EXPECT_TRUE(boxes.messages.empty());
        if (c.when == When::AtNode20) {
            EXPECT_EQ(context.counters.nodeCount, 20);
        } else {
            EXPECT_GT(context.counters.nodeCount, 20);
        }
        EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    }
}

// The parse looks at the flag every few thousand lines.
TEST_F(Driver, a_stop_ends_the_parse_and_keeps_nothing) {
    struct StopAtLine final : MemoSink {
        StopAtLine(MemoSink& inner, StopFlag& flag) : inner(inner), flag(flag) {}
        void AppendLine(std::string_view line) override {
            inner.AppendLine(line);
            if (line == "Parsing file...") {
                flag.store(true);
            }
        }
        int LineCount() const override { return inner.LineCount(); }
        void DeleteFirstLine() override { inner.DeleteFirstLine(); }
        MemoSink& inner;
        StopFlag& flag;
    };
    const fs::path scene = dir / "long.ase";
    {
        std::ofstream out(scene);
        out << "*GEOMOBJECT {\n*MESH {\n";
        for (int i = 0; i < 50000; ++i) {
            out << "*MESH_VERTEX " << i << " 1.0 2.0 3.0\n";
        }
        out << "}\n}\n";
    }
    StopFlag flag{false};
    StopAtLine trigger(memo, flag);
    context.memo = &trigger;
    context.stop = &flag;
    EXPECT_FALSE(ImportAse(scene.string()).has_value());
    EXPECT_EQ(memo.lines.back(), kStoppedLine);
    // The parse did not reach its end.
    EXPECT_FALSE(MemoHas("Compiling geoms into scene"));
}

TEST(StreamedFile, is_the_file_assembled_from_the_whole_tree) {
    // Besides plain nodes, two that are dropped for want of a plane while
    // their children are converted: one whose onfront list starts with a
    // two-point polygon, one whose splitter is all zero.
    Poly twoPoints = Triangle(0, 5);
    twoPoints.points.pop_back();
    Poly reversed = Triangle(0, -1);
    std::swap(reversed.points[1], reversed.points[2]);
    ComputePlane(reversed);
    const auto list = [](std::vector<Poly> polys) {
        auto out = std::make_unique<PolyList>();
        for (const Poly& poly : polys) {
            out->Add(poly, nullptr);
        }
        return out;
    };
    // A node counts as a part of its parent by the polygons handed to it.
    const auto node = [](std::vector<Poly> handed) {
        auto out = std::make_unique<BSPNode>();
        for (const Poly& poly : handed) {
            out->polys.Add(poly, nullptr);
        }
        return out;
    };
    const auto leaf = [&](float z) {
        auto out = node({Triangle(0, z)});
        out->onfront = list({Triangle(0, z), Triangle(0, z)});
        return out;
    };
    BSPNode root;
    root.onfront = list({Triangle(0, 0)});
    root.infront = node({Triangle(0, 5)});
    root.infront->onfront = list({twoPoints, Triangle(0, 5)});
    root.infront->infront = leaf(1);
    root.infront->inback = leaf(2);
    root.inback = node({reversed});
    root.inback->plane = Plane{0, 0, 0, 0};
    root.inback->onback = list({reversed});
    root.inback->inback = leaf(-2);
    const auto write = [&](PrimStream* prim) {
        ZertexList vertices, planes;
        GStringList mips;
        std::unique_ptr<Node> tree = convertNode(root, vertices, planes, mips, nullptr, prim);
        if (prim == nullptr) {
            return *Assemble3DO(*tree, vertices, planes, mips);
        }
        const testing::TempDir dir;
        AtomicFile file;
        const std::string path = (dir.path() / "streamed.3do").string();
        EXPECT_TRUE(file.Open(path));
        EXPECT_TRUE(Streamed3DOSize(*prim, vertices, planes, mips).has_value());
        EXPECT_TRUE(
            Stream3DO(file, static_cast<const SealedNode&>(*tree), *prim, vertices, planes, mips));
        EXPECT_TRUE(file.Commit());
        return ReadBytes(path);
    };
    PrimStream prim;
    const std::vector<uint8_t> assembled = write(nullptr);
    EXPECT_EQ(write(&prim), assembled);
    EXPECT_EQ(testing::StructureReader(assembled).Check().error, "");
}

TEST(DeepTree, converts_and_writes_a_tree_far_deeper_than_a_default_stack) {
    // A chain of nodes, each with one polygon on its plane and the rest in
    // front, as a degenerate scene gives: one Node9 per level.
    constexpr int kDepth = 100000;
    BSPNode root;
    BSPNode* node = &root;
    for (int i = 0; i < kDepth; ++i) {
        const Poly poly = Triangle(0, static_cast<float>(i));
        node->polys.Add(poly, nullptr);
        node->onfront = std::make_unique<PolyList>();
        node->onfront->Add(poly, nullptr);
        if (i + 1 < kDepth) {
            node->infront = std::make_unique<BSPNode>();
            node = node->infront.get();
        }
    }
    ZertexList vertices, planes;
    GStringList mips;
    std::optional<std::vector<uint8_t>> bytes;
    RunOnLargeStack([&] {
        std::unique_ptr<Node> tree = convertNode(root, vertices, planes, mips, nullptr);
        ASSERT_NE(tree, nullptr);
        bytes = Assemble3DO(*tree, vertices, planes, mips);
    });
    ASSERT_TRUE(bytes.has_value());
    const testing::Structure s = testing::StructureReader(*bytes).Check();
    EXPECT_EQ(s.error, "");
    EXPECT_EQ(s.records, 3u * kDepth);
    EXPECT_EQ(s.planes, static_cast<uint32_t>(kDepth));
}

}  // namespace
}  // namespace tarvel
