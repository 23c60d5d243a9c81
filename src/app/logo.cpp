#include "app/logo.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tarvel::app {

namespace {

// A square cut by a few partition lines: a picture of what the tool does.
void DrawPartitionMark(QPainter& painter) {
    const QRectF box(8, 8, 36, 36);
    painter.setPen(QPen(QColor(170, 225, 240), 1.5));
    painter.setBrush(QColor(255, 255, 255, 28));
    painter.drawRect(box);
    painter.setPen(QPen(QColor(255, 196, 70), 1.5));
    painter.drawLine(QPointF(20, 8), QPointF(30, 44));
    painter.setPen(QPen(QColor(170, 225, 240), 1.0));
    painter.drawLine(QPointF(8, 26), QPointF(24.9, 25.6));
    painter.drawLine(QPointF(27.5, 34.8), QPointF(44, 30));
    painter.drawLine(QPointF(13, 26), QPointF(15, 44));
}

void DrawName(QPainter& painter) {
    QFont title("DejaVu Sans");
    title.setStyleHint(QFont::SansSerif);
    title.setPixelSize(27);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
    painter.setFont(title);
    const QRectF nameBox(52, 4, 134, 34);
    painter.setPen(QColor(0, 0, 0, 110));
    painter.drawText(nameBox.translated(1.5, 1.5), Qt::AlignCenter, "TARVEL");
    painter.setPen(Qt::white);
    painter.drawText(nameBox, Qt::AlignCenter, "TARVEL");

    QFont subtitle("DejaVu Sans");
    subtitle.setStyleHint(QFont::SansSerif);
    subtitle.setPixelSize(10);
    painter.setFont(subtitle);
    painter.setPen(QColor(170, 225, 240));
    painter.drawText(QRectF(52, 34, 134, 14), Qt::AlignCenter, "ASE  \u2192  BSP  \u2192  3DO");
}

}  // namespace

QPixmap DrawLogo() {
    QImage image(kLogoWidth, kLogoHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, kLogoWidth, kLogoHeight);
    background.setColorAt(0.0, QColor(16, 32, 60));
    background.setColorAt(1.0, QColor(28, 96, 122));
    painter.fillRect(image.rect(), background);
    painter.setPen(QPen(QColor(8, 16, 30), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, kLogoWidth - 1, kLogoHeight - 1));
    DrawPartitionMark(painter);
    DrawName(painter);
    painter.end();
    return QPixmap::fromImage(image);
}

}  // namespace tarvel::app
