#include "app/preview_drop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <utility>

#include "window/dropped_file.h"

namespace tarvel::app {

std::optional<std::string> DroppedThreeDoFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1 ||
        !mime->urls().front().isLocalFile()) {
        return std::nullopt;
    }
    const std::string path = mime->urls().front().toLocalFile().toStdString();
    if (window::ClassifyDroppedFile(path) != window::DroppedFileKind::ThreeDo) {
        return std::nullopt;
    }
    return path;
}

ThreeDoDrop::ThreeDoDrop(QObject* parent, std::function<void(const std::string& path)> open,
                         std::function<bool()> busy)
    : QObject(parent), open_(std::move(open)), busy_(std::move(busy)) {}

bool ThreeDoDrop::eventFilter(QObject* watched, QEvent* event) {
    const bool enter = event->type() == QEvent::DragEnter;
    if (!enter && event->type() != QEvent::Drop) {
        return QObject::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);  // QDragEnterEvent derives from it
    const std::optional<std::string> path = DroppedThreeDoFile(drop->mimeData());
    if (!path || (busy_ && busy_())) {
        return QObject::eventFilter(watched, event);
    }
    drop->acceptProposedAction();
    if (!enter) {
        open_(*path);
    }
    return true;
}

}  // namespace tarvel::app
