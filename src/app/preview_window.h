#pragma once

// The preview: the last pick in 3D and, after a BSP run, the tree that run
// built; a 3DO file, opened or dropped or just written, as its records hold
// it. One non-modal window; the main window raises it when it is open.
// Keys: 1 front, 2 back, 3 left, 4 right, 5 top, 6 bottom, 0 iso, F fit,
// E edges, B scene/BSP, D scene/3DO file, N and P the next and previous node.

#include <QWidget>

#include <memory>
#include <string>

#include "window/preview_data.h"
#include "window/preview_logic.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace tarvel::app {

using window::PreviewFile;
using window::PreviewRun;
using window::PreviewScene;

class PreviewCanvas;

class PreviewWindow final : public QWidget {
    Q_OBJECT

  public:
    using Mode = window::PreviewMode;

    explicit PreviewWindow(QWidget* parent = nullptr);

    // A new pick: back to the scene view, framed; the last run is dropped.
    void SetScene(std::shared_ptr<const PreviewScene> scene);
    // A run that saved its file offers that file in the 3DO view.
    void SetRun(std::shared_ptr<const PreviewRun> run);
    // Reads a 3DO file and shows it, framed. A file that does not read
    // changes nothing here: its message goes out through FileRejected.
    bool OpenFile(const std::string& path);

    void SetMode(Mode mode);
    Mode CurrentMode() const { return logic_.Mode(); }
    // Moves the shown splitter by step nodes in build order; -1 shows none.
    void StepNode(int step);
    int CurrentNode() const { return logic_.Node(); }

    PreviewCanvas& Canvas() { return *canvas_; }
    QString StatusText() const;

  signals:
    void FileRejected(const QString& message);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ChooseFile();
    void Do(window::PreviewCommand command);
    void Refresh();
    void ShowMesh();
    void UpdateControls();

    window::PreviewLogic logic_;

    PreviewCanvas* canvas_ = nullptr;
    QPushButton* fit_ = nullptr;
    QCheckBox* edges_ = nullptr;
    QPushButton* modeButton_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* fileButton_ = nullptr;
    QPushButton* open_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* nodeStatus_ = nullptr;
};

}  // namespace tarvel::app
