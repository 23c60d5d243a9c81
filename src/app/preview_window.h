#pragma once

// The preview: the last pick in 3D and, after a BSP run, the tree that run
// built. One non-modal window; the main window raises it when it is open.
// Keys: 1 front, 2 back, 3 left, 4 right, 5 top, 6 bottom, 0 iso, F fit,
// E edges, B scene/BSP, N and P the next and previous node.

#include <QWidget>

#include <memory>

#include "app/preview_data.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace tarvel::app {

class PreviewCanvas;

class PreviewWindow final : public QWidget {
    Q_OBJECT

  public:
    enum class Mode { Scene, Bsp };

    explicit PreviewWindow(QWidget* parent = nullptr);

    // A new pick: back to the scene view, framed; the last run is dropped.
    void SetScene(std::shared_ptr<const PreviewScene> scene);
    void SetRun(std::shared_ptr<const PreviewRun> run);

    void SetMode(Mode mode);
    Mode CurrentMode() const { return mode_; }
    // Moves the shown splitter by step nodes in build order; -1 shows none.
    void StepNode(int step);
    int CurrentNode() const { return node_; }

    PreviewCanvas& Canvas() { return *canvas_; }
    QString StatusText() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowMesh();
    void UpdateStatus();
    void UpdateControls();

    std::shared_ptr<const PreviewScene> scene_;
    std::shared_ptr<const PreviewRun> run_;
    Mode mode_ = Mode::Scene;
    int node_ = -1;

    PreviewCanvas* canvas_ = nullptr;
    QPushButton* fit_ = nullptr;
    QCheckBox* edges_ = nullptr;
    QPushButton* modeButton_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* nodeStatus_ = nullptr;
};

}  // namespace tarvel::app
