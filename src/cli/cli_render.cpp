#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_log.h"
#include "driver/import.h"
#include "driver/record_mesh_file.h"
#include "render/png_writer.h"
#include "render/record_mesh_render.h"
#include "render/renderer.h"
#include "render/views.h"

namespace tarvel::cli {

namespace {

struct RenderArgs {
    std::string file;
    std::string output;
    std::string size = "800x600";
    std::string view = "iso";
    bool edges = false;
    bool byNode = false;
};

// What to draw and how many polygons it came from.
struct Drawing {
    render::RenderMesh mesh;
    std::size_t polygons = 0;
};

// A 3DO file is drawn from its records, anything else as a scene; the kind
// comes from the content, not the name. Nullopt once the reason is out.
std::optional<Drawing> LoadDrawing(const RenderArgs& args) {
    if (StartsWithThreeDoMagic(args.file)) {
        const RecordMeshResult read = ReadRecordMesh(args.file);
        if (!read.mesh) {
            std::fprintf(stderr, "%s\n", read.error.c_str());
            return std::nullopt;
        }
        const auto colouring =
            args.byNode ? render::RecordColouring::ByPlaneNode : render::RecordColouring::ByTexture;
        return Drawing{render::MakeRecordRenderMesh(*read.mesh, colouring),
                       read.mesh->polygons.size()};
    }
    std::optional<ImportedScene> imported;
    {
        CliLog log(LogOptions{});
        BeginPick();
        imported = ImportAse(args.file);
    }
    if (!imported) {
        return std::nullopt;
    }
    return Drawing{render::MakeSceneMesh(imported->polys, &imported->cupboard),
                   imported->polys.items.size()};
}

constexpr int kMaxSide = 16384;

bool ParseSize(const std::string& text, int& width, int& height) {
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%dx%d%n", &width, &height, &consumed) != 2 ||
        consumed != static_cast<int>(text.size())) {
        return false;
    }
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

int RunRender(const RenderArgs& args) {
    int width = 0, height = 0;
    if (!ParseSize(args.size, width, height)) {
        std::fprintf(stderr, "Bad --size '%s': expected WIDTHxHEIGHT, each 1 to %d.\n",
                     args.size.c_str(), kMaxSide);
        return kExitUsage;
    }
    const std::optional<render::ViewAxis> axis = render::ParseViewName(args.view);
    if (!axis) {
        std::fprintf(stderr, "Bad --view '%s': expected iso, top, front or side.\n",
                     args.view.c_str());
        return kExitUsage;
    }
    if (SameFile(args.file, args.output)) {
        std::fprintf(stderr, "render: the output '%s' is the input itself\n", args.output.c_str());
        return kExitUsage;
    }
    if (args.byNode && !StartsWithThreeDoMagic(args.file)) {
        std::fprintf(stderr, "--by-node colours the polygons of a 3DO file; '%s' is none.\n",
                     args.file.c_str());
        return kExitUsage;
    }
    const std::optional<Drawing> drawing = LoadDrawing(args);
    if (!drawing) {
        return kExitFailed;
    }
    // An empty picture would pass for a drawing of the file.
    if (drawing->mesh.polys.empty()) {
        std::fprintf(stderr, "nothing to draw in '%s'\n", args.file.c_str());
        return kExitFailed;
    }
    const render::RenderMesh& mesh = drawing->mesh;
    render::Camera camera;
    camera.SetView(*axis, mesh.GetBounds(), width, height);
    render::FrameBuffer picture;
    picture.Resize(width, height);
    render::RenderOptions options;
    options.edges = args.edges;
    render::Renderer().Draw(mesh, camera, options, picture);
    const std::string error = render::WritePng(args.output, picture);
    if (!error.empty()) {
        std::fprintf(stderr, "Error writing '%s': %s\n", args.output.c_str(), error.c_str());
        return kExitFailed;
    }
    std::printf("%dx%d, %zu polygons: '%s'\n", width, height, drawing->polygons,
                args.output.c_str());
    return kExitOk;
}

}  // namespace

void AddRenderCommand(CLI::App& app, int& exitStatus) {
    auto args = std::make_shared<RenderArgs>();
    CLI::App* command = app.add_subcommand(
        "render", "Draw the scene of an .ase file, or the polygons of a 3DO file, into a PNG");
    command->add_option("FILE", args->file, "The ASCII Scene Export file or 3DO file")->required();
    command->add_option("-o,--output", args->output, "The PNG to write")->required();
    command->add_option("--size", args->size, "WIDTHxHEIGHT in pixels (default 800x600)");
    command->add_option("--view", args->view, "iso, top, front or side (default iso)");
    command->add_flag("--edges", args->edges, "Draw every polygon's edges");
    command->add_flag("--by-node", args->byNode,
                      "3DO files: colour each polygon by the plane node above it");
    command->callback([args, &exitStatus] { exitStatus = RunRender(*args); });
}

}  // namespace tarvel::cli
