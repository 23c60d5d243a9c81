#include "driver/compile_driver.h"

#include <cassert>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

#include "bsp/bsp_node.h"
#include "bsp/parallel/build_follow.h"
#include "driver/bsp_root.h"
#include "driver/large_stack.h"
#include "log/log.h"
#include "threedo/convert.h"
#include "threedo/file_writer.h"
#include "threedo/gstring_list.h"
#include "threedo/zertex_list.h"

namespace tarvel {

namespace {

inline constexpr const char* kSeeLog = "See log for error.\n";

// What one run builds; none of it outlives the run.
struct Conversion {
    ZertexList vertices;         // VertexTable, section XYZS
    ZertexList planes;           // PlaneTable, section PLAN
    GStringList mips;            // MipTable, section STRN
    PrimStream prim;             // the node records, written as the conversion finishes them
    std::unique_ptr<Node> root;  // a SealedNode: its records are in prim
    FlatLists flats;
    // Frees the BSP tree while the file is written; joined first when the
    // run ends. It takes no thread of the budget: it lives only within the
    // compile's own (the run joins it before it returns) and only beside
    // the save, which is brief next to the build; waiting for a thread
    // would hold a whole tree's memory for nothing.
    std::jthread disposer;
};

// Steps 4 to 9: the root list from copies of the polygons (added with the
// materials, so clipper polygons are marked), the build and the conversion.
// The walks go as deep as the tree, hence the large stack.
void BuildThenConvert(const PolyList& polys, const Cupboard* cupboard,
                      const ConvertOptions& options, const BuildPlan& plan, Conversion& out) {
    BSPNode root;
    RunOnLargeStack([&] {
        out.flats = BuildBSPRoot(root, polys, cupboard, plan, nullptr, options.polysCopied);
        if (options.afterBuild) {
            options.afterBuild(root);
        }
        out.root = convertNode(root, out.vertices, out.planes, out.mips, cupboard, &out.prim);
    });
}

// The same with the conversion following the build on a second thread,
// node by node, so that most of it is done when the build ends. The order
// of the calls into the tables is the conversion's own either way, so the
// file comes out the same. The conversion writes nothing but dumps, which
// are off here, so it runs without the log; the build keeps it. The
// conversion takes no thread of the budget: it spends most of the build
// asleep until the next node is published, and the little it does per node
// is what the compile's own thread would do after the build. Holding a
// thread for it would keep the helper that builds subtrees ahead off the
// second core of a two-core machine for the whole build.
void BuildWhileConverting(const PolyList& polys, const Cupboard* cupboard,
                          const ConvertOptions& options, const BuildPlan& plan, Conversion& out) {
    auto tree = std::make_unique<BSPNode>();
    BSPNode& root = *tree;
    BuildFollow follow;
    std::exception_ptr buildError;
    LogContext& log = CurrentLog();
    std::jthread builder([&] {
        const ScopedLogContext scope(log);
        try {
            out.flats = BuildBSPRoot(root, polys, cupboard, plan, &follow, options.polysCopied);
            // Every node is published: the conversion finishes meanwhile.
            if (options.afterBuild) {
                RunOnLargeStack([&] { options.afterBuild(root); });
            }
        } catch (...) {
            buildError = std::current_exception();
            follow.Abandon();
        }
    });
    try {
        RunOnLargeStack([&] {
            LogContext quiet;
            quiet.stop = log.stop;
            quiet.budget = log.budget;
            const ScopedLogContext scope(quiet);
            // A hook reads the finished tree beside the conversion.
            const ConvertedNodes converted =
                options.afterBuild ? ConvertedNodes::Keep : ConvertedNodes::Free;
            out.root = convertNode(root, out.vertices, out.planes, out.mips, cupboard, follow,
                                   converted, &out.prim);
        });
    } catch (const BuildAbandoned&) {
        // The build's own error follows.
    }
    builder.join();
    if (buildError) {
        std::rethrow_exception(buildError);
    }
    // A large tree takes a while to free, and nothing reads it any more.
    out.disposer = std::jthread([tree = std::move(tree)]() mutable { tree.reset(); });
}

void BuildAndConvert(const PolyList& polys, const Cupboard* cupboard, const ConvertOptions& options,
                     Conversion& out) {
    const BuildPlan& plan = options.plan;
    assert(!options.afterBuild || plan.keepRootList);
    if (plan.follow) {
        BuildWhileConverting(polys, cupboard, options, plan, out);
    } else {
        BuildThenConvert(polys, cupboard, options, plan, out);
    }
}

void FillCounts(const Conversion& c, ConvertReport& report) {
    report.vertices = c.vertices.count();
    report.planes = c.planes.count();
    report.textures = c.mips.count();
    report.nodeRecords = c.root ? static_cast<int32_t>(CountNodeRecords(*c.root)) : 0;
    report.flatLists = c.flats;
}

ConvertReport Stop(ConvertReport report, ConvertStatus status) {
    report.status = status;
    return report;
}

// Steps 11 to 14. The old file is replaced only once the new one is
// complete on disk, and "...Saved" follows only a save that succeeded.
ConvertReport Save(Conversion& c, const std::string& path, const ConvertOptions& options,
                   ConvertReport report) {
    report.path = path;
    AtomicFile file(options.saveHooks);
    if (!file.Open(path)) {
        LogFile("%s\n", file.error().c_str());
        LogMemoF("Error when opening '%s' for output.", path.c_str());
        ShowMessageBox(kSeeLog);
        return Stop(report, ConvertStatus::OpenFailed);
    }
    LogMemoF("Saving 3DO to '%s'...", path.c_str());
    // The records are written already: the file goes out a section at a time.
    const std::optional<uint64_t> size = Streamed3DOSize(c.prim, c.vertices, c.planes, c.mips);
    const bool written = size && Stream3DO(file, static_cast<const SealedNode&>(*c.root), c.prim,
                                           c.vertices, c.planes, c.mips);
    // The last moment a stop keeps the old file: the temporary goes with `file`.
    ThrowIfStopped();
    if (!written || !file.Commit()) {
        LogFile("%s\n", size ? file.error().c_str() : "file too large for 32-bit offsets");
        LogMemoF("Error when writing '%s'.", path.c_str());
        ShowMessageBox(kSeeLog);
        return Stop(report, ConvertStatus::WriteFailed);
    }
    report.bytesWritten = *size;
    LogMemo("...Saved, MIPs referenced:");
    c.mips.logReferenced();
    return Stop(report, ConvertStatus::Saved);
}

}  // namespace

namespace {

// The whole run, with the stop looked at between its steps.
ConvertReport ConvertAndSave(const PolyList* polys, Cupboard* cupboard,
                             const ChooseSavePath& chooseSavePath, const ConvertOptions& options) {
    ConvertReport report;
    if (polys == nullptr) {
        return Stop(report, ConvertStatus::NoPolyList);
    }
    if (cupboard != nullptr) {
        cupboard->FixBitmapNames();
    }
    Conversion conversion;
    BuildAndConvert(*polys, cupboard, options, conversion);
    FillCounts(conversion, report);
    ThrowIfStopped();
    // Without a root there is nothing to write: say so before asking where.
    if (!conversion.root) {
        LogMemo("Nothing to save: the conversion produced no nodes.");
        ShowMessageBox(kSeeLog);
        return Stop(report, ConvertStatus::NothingToSave);
    }
    const std::optional<std::string> path = chooseSavePath ? chooseSavePath() : std::nullopt;
    ThrowIfStopped();
    if (!path) {
        ShowMessageBox("3DO not saved.  Re-BSP to save.\n");
        return Stop(report, ConvertStatus::Cancelled);
    }
    return Save(conversion, *path, options, report);
}

}  // namespace

ConvertReport RunConversion(const PolyList* polys, Cupboard* cupboard,
                            const ChooseSavePath& chooseSavePath, const ConvertOptions& options) {
    try {
        return ConvertAndSave(polys, cupboard, chooseSavePath, options);
    } catch (const CompileStopped&) {
        // Whatever the run had built is gone by now; the counters stay where
        // the build was stopped.
        UpdateCounters();
        LogMemo(kStoppedLine);
        ConvertReport report;
        report.status = ConvertStatus::Stopped;
        return report;
    }
}

}  // namespace tarvel
