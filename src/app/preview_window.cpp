#include "app/preview_window.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "app/preview_canvas.h"
#include "app/preview_drop.h"

namespace tarvel::app {

namespace {

struct AxisKey {
    int key;
    render::ViewAxis axis;
};

constexpr std::array<AxisKey, 7> kAxisKeys{{
    {Qt::Key_1, render::ViewAxis::Front},
    {Qt::Key_2, render::ViewAxis::Back},
    {Qt::Key_3, render::ViewAxis::Left},
    {Qt::Key_4, render::ViewAxis::Right},
    {Qt::Key_5, render::ViewAxis::Top},
    {Qt::Key_6, render::ViewAxis::Bottom},
    {Qt::Key_0, render::ViewAxis::Iso},
}};

QPushButton* AddButton(QHBoxLayout& row, const char* name, const QString& text) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    row.addWidget(button);
    return button;
}

QString NodeText(const render::SnapshotNode& n, int index, int count) {
    return QString(
               "Node %1 of %2: depth %3, polys %4 (in front %5, on front %6, on back %7, "
               "in back %8)%9")
        .arg(index + 1)
        .arg(count)
        .arg(n.depth)
        .arg(n.polys)
        .arg(n.inFront)
        .arg(n.onFront)
        .arg(n.onBack)
        .arg(n.inBack)
        .arg(n.flattened ? ", flattened" : "");
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("PreviewWindow");
    setWindowTitle("Tarvel preview");
    resize(800, 640);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    fit_ = AddButton(*row, "FitButton", "Fit");
    edges_ = new QCheckBox("&Edges");
    edges_->setObjectName("EdgesBox");
    edges_->setFocusPolicy(Qt::NoFocus);
    row->addWidget(edges_);
    modeButton_ = AddButton(*row, "ModeButton", "&BSP view");
    previous_ = AddButton(*row, "PreviousNode", "&Previous node");
    next_ = AddButton(*row, "NextNode", "&Next node");
    fileButton_ = AddButton(*row, "FileButton", "&3DO view");
    open_ = AddButton(*row, "OpenFileButton", "&Open 3DO...");
    row->addStretch();
    layout->addLayout(row);
    canvas_ = new PreviewCanvas;
    canvas_->setObjectName("PreviewCanvas");
    layout->addWidget(canvas_, 1);
    status_ = new QLabel;
    status_->setObjectName("PreviewStatus");
    nodeStatus_ = new QLabel;
    nodeStatus_->setObjectName("NodeStatus");
    layout->addWidget(status_);
    layout->addWidget(nodeStatus_);
    connect(fit_, &QPushButton::clicked, canvas_, &PreviewCanvas::Fit);
    connect(edges_, &QCheckBox::toggled, this, [this](bool on) {
        canvas_->Options().edges = on;
        canvas_->update();
    });
    connect(modeButton_, &QPushButton::clicked, this,
            [this] { SetMode(mode_ == Mode::Bsp ? Mode::Scene : Mode::Bsp); });
    connect(previous_, &QPushButton::clicked, this, [this] { StepNode(-1); });
    connect(next_, &QPushButton::clicked, this, [this] { StepNode(1); });
    connect(fileButton_, &QPushButton::clicked, this, &PreviewWindow::ToggleFile);
    connect(open_, &QPushButton::clicked, this, &PreviewWindow::ChooseFile);
    setAcceptDrops(true);
    installEventFilter(new ThreeDoDrop(this, [this](const std::string& path) { OpenFile(path); }));
    UpdateControls();
}

void PreviewWindow::SetScene(std::shared_ptr<const PreviewScene> scene) {
    scene_ = std::move(scene);
    run_.reset();
    mode_ = Mode::Scene;
    node_ = -1;
    ShowMesh();
    canvas_->Fit();
    UpdateControls();
}

void PreviewWindow::SetRun(std::shared_ptr<const PreviewRun> run) {
    run_ = std::move(run);
    node_ = -1;
    if (run_ && run_->saved && !run_->path.empty()) {
        // Read only when shown: most runs are never looked at this way.
        written_ = run_->path;
        file_.reset();
        if (mode_ == Mode::File) {
            mode_ = Mode::Scene;
        }
    }
    if (!run_ && mode_ == Mode::Bsp) {
        mode_ = Mode::Scene;
    }
    ShowMesh();
    UpdateControls();
}

void PreviewWindow::SetMode(Mode mode) {
    if (mode == Mode::File && !file_ && !written_.empty()) {
        file_ = LoadOrReject(written_);
        written_.clear();
        if (!file_) {
            UpdateControls();
            return;
        }
    }
    const bool possible =
        mode == Mode::Scene || (mode == Mode::Bsp && run_) || (mode == Mode::File && file_);
    mode_ = possible ? mode : Mode::Scene;
    ShowMesh();
    UpdateControls();
}

std::shared_ptr<const PreviewFile> PreviewWindow::LoadOrReject(const std::string& path) {
    std::string error;
    std::shared_ptr<const PreviewFile> file = window::LoadPreviewFile(path, error);
    if (!file) {
        emit FileRejected(QString::fromStdString(error));
    }
    return file;
}

bool PreviewWindow::OpenFile(const std::string& path) {
    std::shared_ptr<const PreviewFile> file = LoadOrReject(path);
    if (!file) {
        return false;
    }
    file_ = std::move(file);
    written_.clear();
    mode_ = Mode::File;
    node_ = -1;
    ShowMesh();
    canvas_->Fit();
    UpdateControls();
    return true;
}

// Scene and file share the camera, so the two can be compared in place.
void PreviewWindow::ToggleFile() {
    SetMode(mode_ == Mode::File ? Mode::Scene : Mode::File);
}

void PreviewWindow::ChooseFile() {
    const QString path = QFileDialog::getOpenFileName(this, "Open 3DO", QString(),
                                                      "3DO object file (*.3do);;All files (*)");
    if (!path.isEmpty()) {
        OpenFile(path.toStdString());
    }
}

void PreviewWindow::StepNode(int step) {
    if (!run_ || mode_ != Mode::Bsp || run_->tree.nodes.empty()) {
        return;
    }
    const int count = static_cast<int>(run_->tree.nodes.size());
    // -1 is "no splitter shown"; stepping wraps through it.
    node_ = (node_ + 1 + step) % (count + 1);
    if (node_ < 0) {
        node_ += count + 1;
    }
    node_ -= 1;
    ShowMesh();
    UpdateControls();
}

void PreviewWindow::ShowMesh() {
    const bool bsp = mode_ == Mode::Bsp && run_;
    if (mode_ == Mode::File && file_) {
        canvas_->SetMesh(&file_->mesh);
    } else {
        canvas_->SetMesh(bsp ? &run_->tree.mesh : scene_ ? &scene_->mesh : nullptr);
    }
    canvas_->Options().quad.reset();
    if (bsp && node_ >= 0) {
        render::TranslucentQuad quad;
        quad.corners = run_->tree.nodes[static_cast<std::size_t>(node_)].quad;
        canvas_->Options().quad = quad;
    }
    canvas_->update();
}

QString PreviewWindow::FileStatusText() const {
    return QString("3DO file: %1   Polygons: %2   Vertices: %3   Textures: %4   Plane nodes: %5")
        .arg(QFileInfo(QString::fromStdString(file_->path)).fileName())
        .arg(file_->polygons)
        .arg(file_->vertices)
        .arg(file_->textures)
        .arg(file_->planeNodes);
}

QString PreviewWindow::StatusText() const {
    if (mode_ == Mode::File && file_) {
        return FileStatusText();
    }
    if (!scene_) {
        return "No scene picked.";
    }
    QString text = QString("Objects: %1   Materials: %2   Polygons: %3   Vertices: %4")
                       .arg(scene_->objects)
                       .arg(scene_->materials)
                       .arg(scene_->polygons)
                       .arg(scene_->vertices);
    if (run_) {
        const Counters& c = run_->counters;
        text += QString("   |   Nodes: %1   Splits: %2   Max depth: %3   ")
                    .arg(c.nodeCount)
                    .arg(c.splitPolys)
                    .arg(c.maxDepth);
        text += run_->saved ? QString("File: %1 bytes").arg(run_->bytesWritten)
                            : QString("File: not saved");
    }
    return text;
}

void PreviewWindow::UpdateStatus() {
    status_->setText(StatusText());
    QString node;
    if (mode_ == Mode::Bsp && run_) {
        const auto& nodes = run_->tree.nodes;
        node = node_ >= 0 ? NodeText(nodes[static_cast<std::size_t>(node_)], node_,
                                     static_cast<int>(nodes.size()))
                          : QString(
                                "BSP view: %1 leaf lists, %2 split pieces (cut edges in "
                                "yellow). N/P steps through the %3 nodes.")
                                .arg(run_->tree.leafLists)
                                .arg(run_->tree.splitPieces)
                                .arg(nodes.size());
    } else if (mode_ == Mode::File && file_) {
        node =
            "3DO view: the polygons as the file's records hold them, coloured by texture. "
            "D back to the scene.";
    } else {
        node = "Keys: 1-6 axis views, 0 iso, F fit, E edges" + QString(run_ ? ", B BSP view" : "") +
               QString(HasFile() ? ", D 3DO view." : ".");
    }
    nodeStatus_->setText(node);
}

void PreviewWindow::UpdateControls() {
    modeButton_->setEnabled(run_ != nullptr);
    modeButton_->setText(mode_ == Mode::Bsp ? "&Scene view" : "&BSP view");
    previous_->setEnabled(mode_ == Mode::Bsp);
    next_->setEnabled(mode_ == Mode::Bsp);
    fileButton_->setEnabled(HasFile());
    fileButton_->setText(mode_ == Mode::File ? "S&cene view" : "&3DO view");
    UpdateStatus();
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    for (const AxisKey& k : kAxisKeys) {
        if (event->key() == k.key) {
            canvas_->ShowAxis(k.axis);
            return;
        }
    }
    switch (event->key()) {
        case Qt::Key_F:
            canvas_->Fit();
            return;
        case Qt::Key_E:
            edges_->toggle();
            return;
        case Qt::Key_B:
            SetMode(mode_ == Mode::Bsp ? Mode::Scene : Mode::Bsp);
            return;
        case Qt::Key_D:
            ToggleFile();
            return;
        case Qt::Key_N:
            StepNode(1);
            return;
        case Qt::Key_P:
            StepNode(-1);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace tarvel::app
