#include "app/preview_data.h"

namespace tarvel::app {

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

}  // namespace tarvel::app
