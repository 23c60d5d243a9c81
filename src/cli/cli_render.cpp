#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_import.h"
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
    bool byNode = false;
    std::string size = "800x600";
    std::string view = "iso";
    bool edges = false;
    ImportOptions import;
};

constexpr int kMaxSide = 16384;

bool ParseSize(const std::string& text, int& width, int& height) {
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%dx%d%n", &width, &height, &consumed) != 2 ||
        consumed != static_cast<int>(text.size())) {
        return false;
    }
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

struct Frame {
    int width = 0, height = 0;
    render::ViewAxis axis = render::ViewAxis::Iso;
};

int DrawMesh(const render::RenderMesh& mesh, std::size_t polygons, const RenderArgs& args,
             const Frame& frame) {
    // An empty picture would pass for a drawing of the file.
    if (mesh.polys.empty()) {
        std::fprintf(stderr, "nothing to draw in '%s'\n", args.file.c_str());
        return kExitFailed;
    }
    render::Camera camera;
    camera.SetView(frame.axis, mesh.GetBounds(), frame.width, frame.height);
    render::FrameBuffer picture;
    picture.Resize(frame.width, frame.height);
    render::RenderOptions options;
    options.edges = args.edges;
    render::Renderer().Draw(mesh, camera, options, picture);
    const std::string error = render::WritePng(args.output, picture);
    if (!error.empty()) {
        std::fprintf(stderr, "Error writing '%s': %s\n", args.output.c_str(), error.c_str());
        return kExitFailed;
    }
    std::printf("%dx%d, %zu polygons: '%s'\n", frame.width, frame.height, polygons,
                args.output.c_str());
    return kExitOk;
}

// The polygons of the file's records; the reader's message when it does not
// load or is not consistent.
int RenderThreeDo(const RenderArgs& args, const Frame& frame) {
    const RecordMeshResult read = ReadRecordMesh(args.file);
    if (!read.mesh) {
        std::fprintf(stderr, "%s\n", read.error.c_str());
        return kExitFailed;
    }
    const auto colouring =
        args.byNode ? render::RecordColouring::ByPlaneNode : render::RecordColouring::ByTexture;
    return DrawMesh(render::MakeRecordRenderMesh(*read.mesh, colouring), read.mesh->polygons.size(),
                    args, frame);
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
    // A 3DO file is drawn from its records, anything else as a scene: the
    // kind comes from the content, not the name.
    const bool threeDo = StartsWithThreeDoMagic(args.file);
    if (args.byNode && !threeDo) {
        std::fprintf(stderr, "--by-node colours the polygons of a 3DO file; '%s' is none.\n",
                     args.file.c_str());
        return kExitUsage;
    }
    const Frame frame{width, height, *axis};
    if (threeDo) {
        return RenderThreeDo(args, frame);
    }

    std::optional<ImportedScene> imported;
    {
        CliLog log(LogOptions{});
        BeginPick(args.file);
        imported = ImportScene(args.file, args.import);
    }
    if (!imported) {
        return kExitFailed;
    }
    return DrawMesh(render::MakeSceneMesh(imported->polys, &imported->cupboard),
                    imported->polys.items.size(), args, frame);
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
    command->add_flag("--by-node", args->byNode,
                      "3DO files: colour each polygon by the plane node above it");
    command->add_flag("--edges", args->edges, "Draw every polygon's edges");
    AddImportOptions(*command, args->import);
    command->callback([args, &exitStatus] { exitStatus = RunRender(*args); });
}

}  // namespace tarvel::cli
