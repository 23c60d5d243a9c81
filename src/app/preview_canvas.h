#pragma once

// The drawing surface of the preview: renders the current mesh with the
// software renderer at the widget's size and turns mouse moves into camera
// moves (left orbits, right or middle pans, the wheel zooms).

#include <QImage>
#include <QPoint>
#include <QWidget>

#include "render/renderer.h"

namespace tarvel::app {

class PreviewCanvas final : public QWidget {
    Q_OBJECT

  public:
    explicit PreviewCanvas(QWidget* parent = nullptr);

    // Borrowed; null draws the background only.
    void SetMesh(const render::RenderMesh* mesh);
    render::Camera& Camera() { return camera_; }
    render::RenderOptions& Options() { return options_; }
    // Frames the whole mesh from the current direction, or along an axis.
    void Fit();
    void ShowAxis(render::ViewAxis axis);
    // Renders at the widget's size (at least 1 x 1) and returns the picture.
    QImage Render();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    const render::RenderMesh* mesh_ = nullptr;
    render::Camera camera_;
    render::RenderOptions options_;
    render::Renderer renderer_;
    render::FrameBuffer frame_;
    QPoint lastMouse_;
};

}  // namespace tarvel::app
