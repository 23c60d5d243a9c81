#pragma once

// What the preview shows, made once per pick and once per BSP run and shared
// with the window that made it.

#include <cstdint>
#include <memory>
#include <string>

#include "driver/compile_driver.h"
#include "driver/import.h"
#include "log/counters.h"
#include "render/bsp_snapshot.h"
#include "render/render_mesh.h"

namespace tarvel::window {

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
    std::string path;  // the file written, when saved
};

// A 3DO file as its records hold it, coloured by texture.
struct PreviewFile {
    render::RenderMesh mesh;
    std::string path;
    int32_t polygons = 0;
    int32_t vertices = 0;
    int32_t textures = 0;
    int32_t planeNodes = 0;
};

std::shared_ptr<const PreviewScene> MakePreviewScene(const ImportedScene& imported);

// Null, with the reader's message in error, for a file that does not load
// or is not consistent.
std::shared_ptr<const PreviewFile> LoadPreviewFile(const std::string& path, std::string& error);

}  // namespace tarvel::window
