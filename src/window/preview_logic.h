#pragma once

// What the preview does, apart from drawing and widgets: which mesh it shows
// (the scene, the BSP tree of the last run, or a 3DO file), the splitter node
// stepped to, the keys, the texts and which buttons can be pressed. Each
// window's preview holds one and shows what it says.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "render/camera.h"
#include "render/renderer.h"
#include "window/preview_data.h"

namespace tarvel::window {

enum class PreviewMode { Scene, Bsp, File };

enum class PreviewCommand { Axis, Fit, Edges, Bsp, File, NextNode, PreviousNode };

struct PreviewKey {
    PreviewCommand command;
    render::ViewAxis axis = render::ViewAxis::Iso;  // for Axis
};

// key is an upper-case letter or a digit as ASCII, which is also how both Qt
// and Win32 number those keys. Nullopt for a key the preview does not use.
std::optional<PreviewKey> PreviewKeyFor(int key);

// The mouse over the canvas: the left button orbits, the right or middle
// one pans. Returns false when no button moves the camera.
struct PreviewButtons {
    bool left = false;
    bool right = false;
    bool middle = false;
};
bool DragCamera(render::Camera& camera, PreviewButtons buttons, double dx, double dy, int height);
// A wheel turn in the units both toolkits report (120 a notch).
void WheelCamera(render::Camera& camera, int angleDelta);

// The buttons' states and captions, with '&' before the mnemonic.
struct PreviewControls {
    bool modeEnabled = false;
    std::string modeText;
    bool stepEnabled = false;
    bool fileEnabled = false;
    std::string fileText;
};

class PreviewLogic {
  public:
    // Gets the message of a 3DO file that does not read, when it was opened
    // or when the file a run wrote is first shown.
    std::function<void(const std::string& message)> onFileRejected;

    // A new pick: back to the scene view; the last run is dropped.
    void SetScene(std::shared_ptr<const PreviewScene> scene);
    // A run that saved its file offers that file in the 3DO view.
    void SetRun(std::shared_ptr<const PreviewRun> run);
    // A file that does not read changes nothing.
    bool OpenFile(const std::string& path);

    void SetMode(PreviewMode mode);
    void ToggleBsp();
    void ToggleFile();
    // Moves the shown splitter by step nodes in build order; -1 shows none.
    void StepNode(int step);
    // Does a command that changes what is shown (B, D, N, P); false for the
    // camera and edge commands, which are the view's.
    bool Apply(PreviewCommand command);

    PreviewMode Mode() const { return mode_; }
    int Node() const { return node_; }
    bool HasFile() const { return file_ != nullptr || !written_.empty(); }

    // What to draw: borrowed from the data held here; null for nothing.
    const render::RenderMesh* Mesh() const;
    std::optional<render::TranslucentQuad> Quad() const;

    std::string StatusText() const;
    // The line under the status: the node shown, or what the keys do.
    std::string NodeText() const;
    PreviewControls Controls() const;

  private:
    std::shared_ptr<const PreviewFile> LoadOrReject(const std::string& path);
    std::string FileStatusText() const;

    std::shared_ptr<const PreviewScene> scene_;
    std::shared_ptr<const PreviewRun> run_;
    std::shared_ptr<const PreviewFile> file_;
    std::string written_;  // a file the last run saved, read when first shown
    PreviewMode mode_ = PreviewMode::Scene;
    int node_ = -1;
};

}  // namespace tarvel::window
