#pragma once

// Drags of one 3DO file for the preview, taken off a widget before its own
// drag handlers see them, so a window's scene drop stays as it is beside them.

#include <QObject>

#include <functional>
#include <optional>
#include <string>

class QMimeData;

namespace tarvel::app {

// The one local file of a drag when it is a 3DO file: named .3do (even when
// damaged, so that it is reported instead of parsed as a scene) or starting
// with the 3DO magic.
std::optional<std::string> DroppedThreeDoFile(const QMimeData* mime);

// An event filter: a 3DO file dropped on the watched widget goes to open;
// every other drag passes through. While busy says so, 3DO drags are refused.
class ThreeDoDrop final : public QObject {
  public:
    ThreeDoDrop(QObject* parent, std::function<void(const std::string& path)> open,
                std::function<bool()> busy = {});

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void(const std::string& path)> open_;
    std::function<bool()> busy_;
};

}  // namespace tarvel::app
