#include "app/preview_window.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>
#include <string>
#include <utility>

#include "app/preview_canvas.h"
#include "app/preview_drop.h"

namespace tarvel::app {

namespace {

QPushButton* AddButton(QHBoxLayout& row, const char* name, const QString& text) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    row.addWidget(button);
    return button;
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
    connect(modeButton_, &QPushButton::clicked, this, [this] { Do(window::PreviewCommand::Bsp); });
    connect(previous_, &QPushButton::clicked, this,
            [this] { Do(window::PreviewCommand::PreviousNode); });
    connect(next_, &QPushButton::clicked, this, [this] { Do(window::PreviewCommand::NextNode); });
    connect(fileButton_, &QPushButton::clicked, this, [this] { Do(window::PreviewCommand::File); });
    connect(open_, &QPushButton::clicked, this, &PreviewWindow::ChooseFile);
    setAcceptDrops(true);
    installEventFilter(new ThreeDoDrop(this, [this](const std::string& path) { OpenFile(path); }));
    logic_.onFileRejected = [this](const std::string& message) {
        emit FileRejected(QString::fromStdString(message));
    };
    UpdateControls();
}

void PreviewWindow::SetScene(std::shared_ptr<const PreviewScene> scene) {
    logic_.SetScene(std::move(scene));
    ShowMesh();
    canvas_->Fit();
    UpdateControls();
}

void PreviewWindow::SetRun(std::shared_ptr<const PreviewRun> run) {
    logic_.SetRun(std::move(run));
    Refresh();
}

void PreviewWindow::SetMode(Mode mode) {
    logic_.SetMode(mode);
    Refresh();
}

bool PreviewWindow::OpenFile(const std::string& path) {
    if (!logic_.OpenFile(path)) {
        return false;
    }
    ShowMesh();
    canvas_->Fit();
    UpdateControls();
    return true;
}

void PreviewWindow::ChooseFile() {
    const QString path = QFileDialog::getOpenFileName(this, "Open 3DO", QString(),
                                                      "3DO object file (*.3do);;All files (*)");
    if (!path.isEmpty()) {
        OpenFile(path.toStdString());
    }
}

void PreviewWindow::StepNode(int step) {
    logic_.StepNode(step);
    Refresh();
}

void PreviewWindow::Refresh() {
    ShowMesh();
    UpdateControls();
}

void PreviewWindow::ShowMesh() {
    canvas_->SetMesh(logic_.Mesh());
    canvas_->Options().quad = logic_.Quad();
    canvas_->update();
}

QString PreviewWindow::StatusText() const {
    return QString::fromStdString(logic_.StatusText());
}

void PreviewWindow::UpdateControls() {
    const window::PreviewControls c = logic_.Controls();
    modeButton_->setEnabled(c.modeEnabled);
    modeButton_->setText(QString::fromStdString(c.modeText));
    previous_->setEnabled(c.stepEnabled);
    next_->setEnabled(c.stepEnabled);
    fileButton_->setEnabled(c.fileEnabled);
    fileButton_->setText(QString::fromStdString(c.fileText));
    status_->setText(StatusText());
    nodeStatus_->setText(QString::fromStdString(logic_.NodeText()));
}

void PreviewWindow::Do(window::PreviewCommand command) {
    logic_.Apply(command);
    Refresh();
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    const std::optional<window::PreviewKey> key = window::PreviewKeyFor(event->key());
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (logic_.Apply(key->command)) {
        Refresh();
    } else if (key->command == window::PreviewCommand::Axis) {
        canvas_->ShowAxis(key->axis);
    } else if (key->command == window::PreviewCommand::Fit) {
        canvas_->Fit();
    } else {
        edges_->toggle();
    }
}

}  // namespace tarvel::app
