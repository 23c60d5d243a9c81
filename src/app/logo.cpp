#include "app/logo.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tarvel::app {

namespace {

// A square cut by a few partition lines: a picture of what the tool does.
// Drawn in the banner's units (the square spans 8..44); penScale thickens
// the lines for an icon drawn small.
void DrawPartitionMark(QPainter& painter, double penScale) {
    const QRectF box(8, 8, 36, 36);
    painter.setPen(QPen(QColor(170, 225, 240), 1.5 * penScale));
    painter.setBrush(QColor(255, 255, 255, 28));
    painter.drawRect(box);
    painter.setPen(QPen(QColor(255, 196, 70), 1.5 * penScale));
    painter.drawLine(QPointF(20, 8), QPointF(30, 44));
    painter.setPen(QPen(QColor(170, 225, 240), 1.0 * penScale));
    painter.drawLine(QPointF(8, 26), QPointF(24.9, 25.6));
    painter.drawLine(QPointF(27.5, 34.8), QPointF(44, 30));
    painter.drawLine(QPointF(13, 26), QPointF(15, 44));
}

QLinearGradient BannerGradient(double width, double height) {
    QLinearGradient background(0, 0, width, height);
    background.setColorAt(0.0, QColor(16, 32, 60));
    background.setColorAt(1.0, QColor(28, 96, 122));
    return background;
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
    painter.fillRect(image.rect(), BannerGradient(kLogoWidth, kLogoHeight));
    painter.setPen(QPen(QColor(8, 16, 30), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, kLogoWidth - 1, kLogoHeight - 1));
    DrawPartitionMark(painter, 1.0);
    DrawName(painter);
    painter.end();
    return QPixmap::fromImage(image);
}

QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The banner's left square, cut out and scaled: its mark spans 8..44 of
    // the 52 units, so a frame of 52 leaves it the banner's margin.
    constexpr double kUnits = kLogoHeight;
    painter.scale(size / kUnits, size / kUnits);
    painter.setPen(QPen(QColor(8, 16, 30), kUnits / size));
    painter.setBrush(BannerGradient(kUnits, kUnits));
    painter.drawRoundedRect(QRectF(0.5, 0.5, kUnits - 1, kUnits - 1), 6, 6);
    // Lines a pixel wide or more, however small the icon.
    DrawPartitionMark(painter, size < 48 ? 2.0 : 1.0);
    painter.end();
    return image;
}

}  // namespace tarvel::app
