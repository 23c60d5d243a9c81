#include "app/preview_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "window/preview_logic.h"

namespace tarvel::app {

namespace {

const render::RenderMesh kEmptyMesh;

}  // namespace

PreviewCanvas::PreviewCanvas(QWidget* parent) : QWidget(parent) {
    setMinimumSize(160, 120);
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted by the renderer.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewCanvas::SetMesh(const render::RenderMesh* mesh) {
    mesh_ = mesh;
    update();
}

void PreviewCanvas::Fit() {
    camera_.Fit((mesh_ ? *mesh_ : kEmptyMesh).GetBounds(), std::max(width(), 1),
                std::max(height(), 1));
    update();
}

void PreviewCanvas::ShowAxis(render::ViewAxis axis) {
    camera_.SetView(axis, (mesh_ ? *mesh_ : kEmptyMesh).GetBounds(), std::max(width(), 1),
                    std::max(height(), 1));
    update();
}

QImage PreviewCanvas::Render() {
    frame_.Resize(std::max(width(), 1), std::max(height(), 1));
    renderer_.Draw(mesh_ ? *mesh_ : kEmptyMesh, camera_, options_, frame_);
    // Wraps the buffer without a copy; valid until the next render.
    return QImage(reinterpret_cast<const uchar*>(frame_.colour.data()), frame_.width, frame_.height,
                  frame_.width * 4, QImage::Format_RGBA8888);
}

void PreviewCanvas::paintEvent(QPaintEvent*) {
    const QImage picture = Render();
    QPainter painter(this);
    painter.drawImage(0, 0, picture);
}

void PreviewCanvas::mousePressEvent(QMouseEvent* event) {
    lastMouse_ = event->position().toPoint();
    setFocus();
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint now = event->position().toPoint();
    const QPoint delta = now - lastMouse_;
    lastMouse_ = now;
    const window::PreviewButtons buttons{(event->buttons() & Qt::LeftButton) != 0,
                                         (event->buttons() & Qt::RightButton) != 0,
                                         (event->buttons() & Qt::MiddleButton) != 0};
    if (window::DragCamera(camera_, buttons, delta.x(), delta.y(), height())) {
        update();
    }
}

void PreviewCanvas::wheelEvent(QWheelEvent* event) {
    window::WheelCamera(camera_, event->angleDelta().y());
    update();
}

}  // namespace tarvel::app
