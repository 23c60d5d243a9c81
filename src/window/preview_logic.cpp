#include "window/preview_logic.h"

#include <array>
#include <utility>

#include "platform/utf8_path.h"

namespace tarvel::window {

namespace {

struct KeyEntry {
    int key;
    PreviewKey action;
};

using render::ViewAxis;

constexpr std::array<KeyEntry, 13> kKeys{{
    {'1', {PreviewCommand::Axis, ViewAxis::Front}},
    {'2', {PreviewCommand::Axis, ViewAxis::Back}},
    {'3', {PreviewCommand::Axis, ViewAxis::Left}},
    {'4', {PreviewCommand::Axis, ViewAxis::Right}},
    {'5', {PreviewCommand::Axis, ViewAxis::Top}},
    {'6', {PreviewCommand::Axis, ViewAxis::Bottom}},
    {'0', {PreviewCommand::Axis, ViewAxis::Iso}},
    {'F', {PreviewCommand::Fit}},
    {'E', {PreviewCommand::Edges}},
    {'B', {PreviewCommand::Bsp}},
    {'D', {PreviewCommand::File}},
    {'N', {PreviewCommand::NextNode}},
    {'P', {PreviewCommand::PreviousNode}},
}};

// The name as the system splits paths: a backslash is a separator on
// Windows only.
std::string FileName(const std::string& utf8Path) {
    return Utf8FromPath(PathFromUtf8(utf8Path).filename());
}

std::string NodeLine(const render::SnapshotNode& n, int index, int count) {
    return "Node " + std::to_string(index + 1) + " of " + std::to_string(count) + ": depth " +
           std::to_string(n.depth) + ", polys " + std::to_string(n.polys) + " (in front " +
           std::to_string(n.inFront) + ", on front " + std::to_string(n.onFront) + ", on back " +
           std::to_string(n.onBack) + ", in back " + std::to_string(n.inBack) + ")" +
           (n.flattened ? ", flattened" : "");
}

}  // namespace

std::optional<PreviewKey> PreviewKeyFor(int key) {
    for (const KeyEntry& entry : kKeys) {
        if (entry.key == key) {
            return entry.action;
        }
    }
    return std::nullopt;
}

bool DragCamera(render::Camera& camera, PreviewButtons buttons, double dx, double dy, int height) {
    if (buttons.left) {
        camera.Orbit(dx, dy);
    } else if (buttons.right || buttons.middle) {
        camera.Pan(dx, dy, height);
    } else {
        return false;
    }
    return true;
}

void WheelCamera(render::Camera& camera, int angleDelta) {
    camera.Zoom(angleDelta / 120.0);
}

void PreviewLogic::SetScene(std::shared_ptr<const PreviewScene> scene) {
    scene_ = std::move(scene);
    run_.reset();
    mode_ = PreviewMode::Scene;
    node_ = -1;
}

void PreviewLogic::SetRun(std::shared_ptr<const PreviewRun> run) {
    run_ = std::move(run);
    node_ = -1;
    if (run_ && run_->saved && !run_->path.empty()) {
        // Read only when shown: most runs are never looked at this way.
        written_ = run_->path;
        file_.reset();
        if (mode_ == PreviewMode::File) {
            mode_ = PreviewMode::Scene;
        }
    }
    if (!run_ && mode_ == PreviewMode::Bsp) {
        mode_ = PreviewMode::Scene;
    }
}

void PreviewLogic::SetMode(PreviewMode mode) {
    if (mode == PreviewMode::File && !file_ && !written_.empty()) {
        file_ = LoadOrReject(written_);
        written_.clear();
        if (!file_) {
            return;
        }
    }
    const bool possible = mode == PreviewMode::Scene || (mode == PreviewMode::Bsp && run_) ||
                          (mode == PreviewMode::File && file_);
    mode_ = possible ? mode : PreviewMode::Scene;
}

void PreviewLogic::ToggleBsp() {
    SetMode(mode_ == PreviewMode::Bsp ? PreviewMode::Scene : PreviewMode::Bsp);
}

// Scene and file share the camera, so the two can be compared in place.
void PreviewLogic::ToggleFile() {
    SetMode(mode_ == PreviewMode::File ? PreviewMode::Scene : PreviewMode::File);
}

std::shared_ptr<const PreviewFile> PreviewLogic::LoadOrReject(const std::string& path) {
    std::string error;
    std::shared_ptr<const PreviewFile> file = LoadPreviewFile(path, error);
    if (!file && onFileRejected) {
        onFileRejected(error);
    }
    return file;
}

bool PreviewLogic::OpenFile(const std::string& path) {
    std::shared_ptr<const PreviewFile> file = LoadOrReject(path);
    if (!file) {
        return false;
    }
    file_ = std::move(file);
    written_.clear();
    mode_ = PreviewMode::File;
    node_ = -1;
    return true;
}

void PreviewLogic::StepNode(int step) {
    if (!run_ || mode_ != PreviewMode::Bsp || run_->tree.nodes.empty()) {
        return;
    }
    const int count = static_cast<int>(run_->tree.nodes.size());
    // -1 is "no splitter shown"; stepping wraps through it.
    node_ = (node_ + 1 + step) % (count + 1);
    if (node_ < 0) {
        node_ += count + 1;
    }
    node_ -= 1;
}

bool PreviewLogic::Apply(PreviewCommand command) {
    switch (command) {
        case PreviewCommand::Bsp:
            ToggleBsp();
            return true;
        case PreviewCommand::File:
            ToggleFile();
            return true;
        case PreviewCommand::NextNode:
            StepNode(1);
            return true;
        case PreviewCommand::PreviousNode:
            StepNode(-1);
            return true;
        default:
            return false;
    }
}

const render::RenderMesh* PreviewLogic::Mesh() const {
    if (mode_ == PreviewMode::File && file_) {
        return &file_->mesh;
    }
    if (mode_ == PreviewMode::Bsp && run_) {
        return &run_->tree.mesh;
    }
    return scene_ ? &scene_->mesh : nullptr;
}

std::optional<render::TranslucentQuad> PreviewLogic::Quad() const {
    if (mode_ != PreviewMode::Bsp || !run_ || node_ < 0) {
        return std::nullopt;
    }
    render::TranslucentQuad quad;
    quad.corners = run_->tree.nodes[static_cast<std::size_t>(node_)].quad;
    return quad;
}

std::string PreviewLogic::FileStatusText() const {
    return "3DO file: " + FileName(file_->path) +
           "   Polygons: " + std::to_string(file_->polygons) +
           "   Vertices: " + std::to_string(file_->vertices) +
           "   Textures: " + std::to_string(file_->textures) +
           "   Plane nodes: " + std::to_string(file_->planeNodes);
}

std::string PreviewLogic::StatusText() const {
    if (mode_ == PreviewMode::File && file_) {
        return FileStatusText();
    }
    if (!scene_) {
        return "No scene picked.";
    }
    std::string text = "Objects: " + std::to_string(scene_->objects) +
                       "   Materials: " + std::to_string(scene_->materials) +
                       "   Polygons: " + std::to_string(scene_->polygons) +
                       "   Vertices: " + std::to_string(scene_->vertices);
    if (run_) {
        const Counters& c = run_->counters;
        text += "   |   Nodes: " + std::to_string(c.nodeCount) +
                "   Splits: " + std::to_string(c.splitPolys) +
                "   Max depth: " + std::to_string(c.maxDepth) + "   ";
        text += run_->saved ? "File: " + std::to_string(run_->bytesWritten) + " bytes"
                            : std::string("File: not saved");
    }
    return text;
}

std::string PreviewLogic::NodeText() const {
    if (mode_ == PreviewMode::Bsp && run_) {
        const auto& nodes = run_->tree.nodes;
        const int count = static_cast<int>(nodes.size());
        if (node_ >= 0) {
            return NodeLine(nodes[static_cast<std::size_t>(node_)], node_, count);
        }
        return "BSP view: " + std::to_string(run_->tree.leafLists) + " leaf lists, " +
               std::to_string(run_->tree.splitPieces) +
               " split pieces (cut edges in yellow). N/P steps through the " +
               std::to_string(count) + " nodes.";
    }
    if (mode_ == PreviewMode::File && file_) {
        return "3DO view: the polygons as the file's records hold them, coloured by texture. "
               "D back to the scene.";
    }
    return std::string("Keys: 1-6 axis views, 0 iso, F fit, E edges") +
           (run_ ? ", B BSP view" : "") + (HasFile() ? ", D 3DO view." : ".");
}

PreviewControls PreviewLogic::Controls() const {
    PreviewControls c;
    c.modeEnabled = run_ != nullptr;
    c.modeText = mode_ == PreviewMode::Bsp ? "&Scene view" : "&BSP view";
    c.stepEnabled = mode_ == PreviewMode::Bsp;
    c.fileEnabled = HasFile();
    c.fileText = mode_ == PreviewMode::File ? "S&cene view" : "&3DO view";
    return c;
}

}  // namespace tarvel::window
