// Frame time of the preview's software renderer on a generated race-track
// scene: the cost of one interactive redraw at the preview's usual size.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include <unistd.h>

#include "driver/import.h"
#include "log/log.h"
#include "render/renderer.h"
#include "scene_generator/ase_writer.h"
#include "scene_generator/race_scene.h"
#include "scene_generator/text_out.h"

namespace {

using namespace tarvel;

// The scene goes through the real import, as a pick would.
render::RenderMesh LoadMesh(int64_t triangles) {
    const scenegen::GeneratedScene scene = scenegen::GenerateRaceScene(triangles, 1);
    scenegen::TextOut out;
    scenegen::WriteAse(scene, out);
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tarvel_render_bench_" + std::to_string(::getpid()) + ".ase");
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(out.text().data(), 1, out.text().size(), file);
        std::fclose(file);
    }
    LogContext quiet;
    std::optional<ImportedScene> imported;
    {
        ScopedLogContext scope(quiet);
        imported = ImportAse(path.string());
    }
    std::filesystem::remove(path);
    return imported ? render::MakeSceneMesh(imported->polys, &imported->cupboard)
                    : render::RenderMesh{};
}

const render::RenderMesh& Mesh100k() {
    static const render::RenderMesh mesh = LoadMesh(100'000);
    return mesh;
}

// Arguments: threads, edges (0 or 1).
void BM_Frame800x600(benchmark::State& state) {
    const render::RenderMesh& mesh = Mesh100k();
    render::Camera camera;
    camera.SetView(render::ViewAxis::Iso, mesh.GetBounds(), 800, 600);
    render::RenderOptions options;
    options.threads = static_cast<int>(state.range(0));
    options.edges = state.range(1) != 0;
    render::FrameBuffer frame;
    frame.Resize(800, 600);
    render::Renderer renderer;
    for (auto _ : state) {
        camera.Orbit(3, 0);  // every frame from a new angle, as while dragging
        renderer.Draw(mesh, camera, options, frame);
        benchmark::DoNotOptimize(frame.colour.data());
    }
    state.counters["triangles"] = static_cast<double>(mesh.TriangleCount());
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Frame800x600)
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
