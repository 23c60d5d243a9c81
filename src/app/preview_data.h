#pragma once

// What the preview shows, made once per pick and once per BSP run and shared
// with the window that made it.

#include <cstdint>
#include <memory>

#include "driver/compile_driver.h"
#include "driver/import.h"
#include "log/counters.h"
#include "render/bsp_snapshot.h"
#include "render/render_mesh.h"

namespace tarvel::app {

struct PreviewScene {
    render::RenderMesh mesh;
    int32_t objects = 0;
    int32_t materials = 0;
    int32_t polygons = 0;
    int32_t vertices = 0;
};

struct PreviewRun {
    render::BspSnapshot tree;
    Counters counters;  // as the run left them
    bool saved = false;
    uint64_t bytesWritten = 0;
};

std::shared_ptr<const PreviewScene> MakePreviewScene(const ImportedScene& imported);

}  // namespace tarvel::app
