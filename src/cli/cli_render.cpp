#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_import.h"
#include "cli/cli_log.h"
#include "driver/import.h"
#include "render/png_writer.h"
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
    std::optional<ImportedScene> imported;
    {
        CliLog log(LogOptions{});
        BeginPick(args.file);
        imported = ImportScene(args.file, args.import);
    }
    if (!imported) {
        return kExitFailed;
    }
    const render::RenderMesh mesh = render::MakeSceneMesh(imported->polys, &imported->cupboard);
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
    std::printf("%dx%d, %d polygons: '%s'\n", width, height, imported->polys.Count(),
                args.output.c_str());
    return kExitOk;
}

}  // namespace

void AddRenderCommand(CLI::App& app, int& exitStatus) {
    auto args = std::make_shared<RenderArgs>();
    CLI::App* command = app.add_subcommand("render", "Draw the scene of an .ase file into a PNG");
    command->add_option("FILE", args->file, "The ASCII Scene Export file")->required();
    command->add_option("-o,--output", args->output, "The PNG to write")->required();
    command->add_option("--size", args->size, "WIDTHxHEIGHT in pixels (default 800x600)");
    command->add_option("--view", args->view, "iso, top, front or side (default iso)");
    command->add_flag("--edges", args->edges, "Draw every polygon's edges");
    AddImportOptions(*command, args->import);
    command->callback([args, &exitStatus] { exitStatus = RunRender(*args); });
}

}  // namespace tarvel::cli
