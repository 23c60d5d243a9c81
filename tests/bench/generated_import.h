#pragma once

// Writes a generated scene to a temporary ASE file and imports it the way
// the compiler does, keeping the memo lines.

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bsp/bsp_builder.h"
#include "driver/import.h"
#include "log/log.h"
#include "platform/utf8_path.h"
#include "scene_generator/ase_writer.h"
#include "scene_generator/scene_model.h"
#include "scene_generator/text_out.h"

namespace tarvel::scenegen::testing {

inline std::string AseText(const GeneratedScene& scene) {
    TextOut out;
    WriteAse(scene, out);
    return out.text();
}

struct Imported {
    std::optional<ImportedScene> result;
    std::vector<std::string> memo;

    bool MemoHas(const std::string& line) const {
        for (const std::string& l : memo) {
            if (l == line) {
                return true;
            }
        }
        return false;
    }
};

inline Imported ImportGenerated(const GeneratedScene& scene, const std::string& name) {
    // A name of its own, so that test programs run side by side never share it.
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        (name + "_" + std::to_string(std::random_device{}()) + ".ase");
    {
        std::ofstream file(path, std::ios::binary);
        const std::string text = AseText(scene);
        if (!file.write(text.data(), static_cast<std::streamsize>(text.size()))) {
            return {};
        }
    }
    LogContext context;
    VectorMemoSink memo;
    context.memo = &memo;
    Imported imported;
    {
        ScopedLogContext scope(context);
        imported.result = ImportAse(Utf8FromPath(path));
    }
    imported.memo.assign(memo.lines.begin(), memo.lines.end());
    std::filesystem::remove(path);
    return imported;
}

// A scene's tree built the way a compile builds it, with the debug log off.
struct BuiltTree {
    std::unique_ptr<BSPNode> root = std::make_unique<BSPNode>();
    std::vector<std::string> memo;
    Counters counters;
};

inline BuiltTree BuildImported(const ImportedScene& scene, BuildStrategy strategy) {
    LogContext context;
    VectorMemoSink memo;
    context.memo = &memo;
    ScopedLogContext scope(context);
    BuiltTree built;
    for (const Poly& poly : scene.polys.items) {
        built.root->polys.Add(poly, &scene.cupboard);
    }
    Build(*built.root, PrevCounts{}, &scene.cupboard, strategy);
    built.memo.assign(memo.lines.begin(), memo.lines.end());
    built.counters = context.counters;
    return built;
}

inline const MeshObject* FindObject(const GeneratedScene& scene, const std::string& name) {
    for (const MeshObject& object : scene.objects) {
        if (object.name == name) {
            return &object;
        }
    }
    return nullptr;
}

}  // namespace tarvel::scenegen::testing
