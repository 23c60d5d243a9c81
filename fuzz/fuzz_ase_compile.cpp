// ASE text through the whole compile, along the path the headless tool runs:
// parse, poly list, the fast build with the conversion following it, and
// the file streamed to disk. Whatever it writes must load back and pass the
// consistency check, and on small scenes it must be byte for byte what the
// literal build, converted after it and assembled in memory, gives.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "ase/ase_parser.h"
#include "ase/ase_reader.h"
#include "bsp/bsp_node.h"
#include "bsp/poly_list.h"
#include "discarding_log.h"
#include "driver/bsp_root.h"
#include "driver/compile_driver.h"
#include "log/thread_budget.h"
#include "threedo/convert.h"
#include "threedo/file_writer.h"
#include "threedo/threedo_file.h"

namespace {

using namespace tarvel;

// Small inputs keep the tree shallow enough for the fuzzer's own stack and
// each run fast; size is not what this target looks for.
constexpr std::size_t kMaxInput = 4096;
// The literal build counts every pair at every node: beyond this it would
// slow each run down more than it finds.
constexpr int32_t kMaxLiteralPolys = 300;

void CheckWrittenFile(const std::vector<uint8_t>& bytes) {
    const LoadResult loaded = LoadThreeDo(bytes);
    if (!loaded.ok() || CheckConsistency(*loaded.file).has_value()) {
        std::abort();
    }
}

// Where the streamed file goes, one per process and removed when it ends:
// memory-backed where there is such a folder, since every save flushes to
// disk.
class Output {
  public:
    Output() {
        const std::filesystem::path shm = "/dev/shm";
        const std::filesystem::path dir =
            std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        path_ = (dir / ("fuzz_ase_compile_" + std::to_string(::getpid()) + ".3do")).string();
    }
    ~Output() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// The headless compile without a log file or console dumps: memo lines and
// message boxes only. Nothing when the conversion saved nothing.
std::optional<std::vector<uint8_t>> CompileHeadless(const PolyList& polys, Cupboard& cupboard) {
    fuzz::DiscardingMemo memo;
    fuzz::DiscardingMessageBox box;
    LogContext context;
    context.memo = &memo;
    context.messageBox = &box;
    const ScopedLogContext scope(context);
    static const Output output;
    const std::string& path = output.path();
    ConvertOptions options;
    options.plan = PlanBuild({.strategy = BuildStrategy::Fast, .threads = MachineCores()});
    const ConvertReport report = RunConversion(
        &polys, &cupboard, [&path] { return std::optional<std::string>(path); }, options);
    if (report.status != ConvertStatus::Saved) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The reference: the literal build with every dump formatted, converted once
// it is done, the file assembled in memory.
std::optional<std::vector<uint8_t>> CompileLiterally(const PolyList& polys,
                                                     const Cupboard& cupboard) {
    fuzz::DiscardingLog log;
    BSPNode root;
    BuildBSPRoot(root, polys, &cupboard, BuildPlan{});
    ZertexList vertices;
    ZertexList planes;
    GStringList mips;
    const std::unique_ptr<Node> tree = convertNode(root, vertices, planes, mips, &cupboard);
    if (!tree) {
        return std::nullopt;
    }
    return Assemble3DO(*tree, vertices, planes, mips);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > kMaxInput) {
        return 0;
    }
    Scene scene;
    Cupboard cupboard;
    PolyList polys;
    {
        fuzz::DiscardingLog log;
        AseReader reader(std::string(reinterpret_cast<const char*>(data), size));
        ParseAse(reader, scene, cupboard);
        BuildFromScene(polys, scene);
    }
    // Fixes the bitmap names, which the literal build then takes as they are.
    const std::optional<std::vector<uint8_t>> streamed = CompileHeadless(polys, cupboard);
    if (streamed) {
        CheckWrittenFile(*streamed);
    }
    if (polys.Count() <= kMaxLiteralPolys && CompileLiterally(polys, cupboard) != streamed) {
        std::abort();
    }
    return 0;
}
