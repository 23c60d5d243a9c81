#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_log.h"
#include "driver/record_mesh_file.h"
#include "platform/utf8_path.h"
#include "threedo/obj_export.h"

namespace tarvel::cli {

namespace {

struct ExportArgs {
    std::string file;
    std::string output;
    std::string textureExtension = "png";
    std::string up = "z";
};

int RunExport(const ExportArgs& args) {
    const std::filesystem::path obj = PathFromUtf8(args.output);
    const std::filesystem::path mtl = std::filesystem::path(obj).replace_extension(".mtl");
    if (mtl == obj) {
        std::fprintf(stderr, "export: the output '%s' would be its own material library\n",
                     args.output.c_str());
        return kExitUsage;
    }
    // Neither output may replace the file it is made from.
    for (const std::filesystem::path& output : {obj, mtl}) {
        if (SameFile(args.file, Utf8FromPath(output))) {
            std::fprintf(stderr, "export: the output '%s' is the input itself\n",
                         Utf8FromPath(output).c_str());
            return kExitUsage;
        }
    }
    const RecordMeshResult read = ReadRecordMesh(args.file);
    if (!read.mesh) {
        std::fprintf(stderr, "%s\n", read.error.c_str());
        return kExitFailed;
    }
    ObjOptions options;
    options.textureExtension = args.textureExtension;
    if (options.textureExtension.starts_with('.')) {
        options.textureExtension.erase(0, 1);
    }
    options.up = args.up == "y" ? UpAxis::Y : UpAxis::Z;
    const ObjText text = MakeObj(*read.mesh, Utf8FromPath(mtl.filename()), options);
    const std::string error = SaveObj(text, Utf8FromPath(obj), Utf8FromPath(mtl));
    if (!error.empty()) {
        std::fprintf(stderr, "Error writing %s\n", error.c_str());
        return kExitFailed;
    }
    std::printf("wrote %s and %s: %d faces, %zu vertices, %d materials\n",
                Utf8FromPath(obj).c_str(), Utf8FromPath(mtl).c_str(), text.faces,
                read.mesh->points.size(), text.materials);
    return kExitOk;
}

}  // namespace

void AddExportCommand(CLI::App& app, int& exitStatus) {
    auto args = std::make_shared<ExportArgs>();
    CLI::App* command = app.add_subcommand(
        "export", "Write the polygons of a 3DO file as a Wavefront OBJ with its .mtl beside it");
    command->add_option("FILE", args->file, "The .3do file")->required();
    command->add_option("-o,--output", args->output, "The .obj to write")->required();
    command->add_option("--texture-ext", args->textureExtension,
                        "Extension of the texture images the materials name (default png)");
    command->add_option("--up", args->up, "z as the file holds it (default), or y")
        ->check(CLI::IsMember({"z", "y"}));
    command->callback([args, &exitStatus] { exitStatus = RunExport(*args); });
}

}  // namespace tarvel::cli
