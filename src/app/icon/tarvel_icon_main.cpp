// tarvel-icon DIR [LOGO]: renders the program's icon into DIR as the PNG
// files the Linux desktop takes (tarvel-SIZE.png) and the .ico Windows takes
// (tarvel.ico, one PNG-compressed image per size), and the banner into the
// PNG file LOGO when named (src/win/res/logo.png). The packages and the
// Windows window use the committed files, since the Windows build has no Qt
// to draw them; run this after changing the drawing and commit the result.

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/logo.h"

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

QByteArray EncodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void PutLittleEndian(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// The icon directory: a header, one 16-byte entry per image, then the
// images. A side of 256 is written as 0.
QByteArray EncodeIco(const std::vector<QByteArray>& pngs) {
    QByteArray out;
    PutLittleEndian(out, 0, 2);
    PutLittleEndian(out, 1, 2);
    PutLittleEndian(out, static_cast<std::uint32_t>(pngs.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * pngs.size());
    for (std::size_t i = 0; i < pngs.size(); ++i) {
        const std::uint32_t side = static_cast<std::uint32_t>(kSizes[i]) & 0xFF;
        PutLittleEndian(out, side, 1);
        PutLittleEndian(out, side, 1);
        PutLittleEndian(out, 0, 2);   // no palette, reserved
        PutLittleEndian(out, 1, 2);   // planes
        PutLittleEndian(out, 32, 2);  // bits per pixel
        PutLittleEndian(out, static_cast<std::uint32_t>(pngs[i].size()), 4);
        PutLittleEndian(out, offset, 4);
        offset += static_cast<std::uint32_t>(pngs[i].size());
    }
    for (const QByteArray& png : pngs) {
        out.append(png);
    }
    return out;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: tarvel-icon DIR [LOGO]\n");
        return 2;
    }
    // The banner's text needs the fonts of an application (QT_QPA_PLATFORM=
    // offscreen where there is no display).
    const QGuiApplication application(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    std::vector<QByteArray> pngs;
    for (const int size : kSizes) {
        pngs.push_back(EncodePng(tarvel::app::DrawIcon(size)));
        if (!WriteFile(dir + QString("/tarvel-%1.png").arg(size), pngs.back())) {
            std::fprintf(stderr, "cannot write the %d-pixel icon into %s\n", size, argv[1]);
            return 1;
        }
    }
    if (!WriteFile(dir + "/tarvel.ico", EncodeIco(pngs))) {
        std::fprintf(stderr, "cannot write tarvel.ico into %s\n", argv[1]);
        return 1;
    }
    if (argc == 3 &&
        !tarvel::app::DrawLogo().toImage().save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "cannot write the banner to %s\n", argv[2]);
        return 1;
    }
    return 0;
}
