#include "window/preview_data.h"

#include <exception>

#include "driver/record_mesh_file.h"
#include "render/record_mesh_render.h"

namespace tarvel::window {

std::shared_ptr<const PreviewScene> MakePreviewScene(const ImportedScene& imported) {
    auto scene = std::make_shared<PreviewScene>();
    scene->mesh = render::MakeSceneMesh(imported.polys, &imported.cupboard);
    scene->objects = imported.scene.Count();
    scene->materials = imported.cupboard.Count();
    scene->polygons = imported.polys.Count();
    for (const GeomObject& geom : imported.scene.geoms) {
        scene->vertices += static_cast<int32_t>(geom.vertices.size());
    }
    return scene;
}

std::shared_ptr<const PreviewFile> LoadPreviewFile(const std::string& path, std::string& error) {
    RecordMeshResult read;
    try {
        read = ReadRecordMesh(path);
    } catch (const std::exception& failure) {
        error = path + ": " + failure.what();
        return nullptr;
    }
    if (!read.mesh) {
        error = read.error;
        return nullptr;
    }
    auto file = std::make_shared<PreviewFile>();
    file->mesh = render::MakeRecordRenderMesh(*read.mesh, render::RecordColouring::ByTexture);
    file->path = path;
    file->polygons = static_cast<int32_t>(read.mesh->polygons.size());
    file->vertices = static_cast<int32_t>(read.mesh->points.size());
    file->textures = static_cast<int32_t>(read.mesh->textures.size());
    file->planeNodes = read.mesh->planeNodes;
    return file;
}

}  // namespace tarvel::window
