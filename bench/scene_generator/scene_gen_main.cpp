// tarvel-scene-gen: writes a benchmark scene as an ASE file.
//   tarvel-scene-gen --triangles N [--seed S] -o FILE   a race track of about N triangles
//   tarvel-scene-gen --staircase N -o FILE              the degenerate deep-tree scene
//   tarvel-scene-gen --gears N [--seed S] -o FILE       a dense gear assembly of about N triangles
//   tarvel-scene-gen --assembly N [--seed S] -o FILE    N curved parts passing through one another

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <CLI/CLI.hpp>

#include "scene_generator/ase_writer.h"
#include "scene_generator/assembly.h"
#include "scene_generator/gears.h"
#include "scene_generator/race_scene.h"
#include "scene_generator/staircase.h"

namespace {

using namespace tarvel::scenegen;

// Writes beside the target and renames, so an interrupted run never leaves
// a truncated scene under the name a benchmark would pick up.
bool Save(const GeneratedScene& scene, const std::string& path) {
    const std::string partial = path + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "Cannot create '%s': %s\n", partial.c_str(), std::strerror(errno));
        return false;
    }
    bool ok = false;
    {
        TextOut out(file);
        WriteAse(scene, out);
        ok = out.Flush();
    }
    ok = (std::fclose(file) == 0) && ok;
    if (ok && std::rename(partial.c_str(), path.c_str()) != 0) {
        ok = false;
    }
    if (!ok) {
        std::fprintf(stderr, "Cannot write '%s': %s\n", path.c_str(), std::strerror(errno));
        std::remove(partial.c_str());
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"tarvel-scene-gen: writes deterministic benchmark scenes as ASE files"};
    int64_t triangles = 20000;
    uint64_t seed = 1;
    int32_t staircase = 0;
    int32_t gears = 0;
    int32_t assembly = 0;
    std::string output;
    auto* trianglesOption =
        app.add_option("--triangles", triangles, "Race track of about N triangles")
            ->check(CLI::Range(kMinRaceTriangles, kMaxRaceTriangles));
    app.add_option("--seed", seed,
                   "Seed of the track, the gears or the assembly (same seed, same bytes)");
    app.add_option("--staircase", staircase, "Degenerate scene of exactly N triangles instead")
        ->check(CLI::Range(1, kMaxStaircaseTriangles))
        ->excludes(trianglesOption);
    app.add_option("--gears", gears, "Dense gear assembly of about N triangles instead")
        ->check(CLI::Range(1, kMaxGearTriangles))
        ->excludes(trianglesOption)
        ->excludes("--staircase");
    app.add_option("--assembly", assembly, "Assembly of N interpenetrating parts instead")
        ->check(CLI::Range(1, kMaxAssemblyParts))
        ->excludes(trianglesOption)
        ->excludes("--staircase")
        ->excludes("--gears");
    app.add_option("-o,--output", output, "ASE file to write")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? 0 : 2;
    }

    const GeneratedScene scene = staircase > 0  ? GenerateStaircase(staircase)
                                 : gears > 0    ? GenerateGears(gears, seed)
                                 : assembly > 0 ? GenerateAssembly(assembly, seed)
                                                : GenerateRaceScene(triangles, seed);
    if (!Save(scene, output)) {
        return 1;
    }
    std::printf("Wrote '%s': %zu triangles, %zu vertices, %zu objects\n", output.c_str(),
                scene.TriangleCount(), scene.VertexCount(), scene.objects.size());
    return 0;
}
