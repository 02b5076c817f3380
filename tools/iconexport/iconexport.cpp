// icon-export OUTDIR: writes the lessons' icons into a hicolor icon theme under OUTDIR,
// as SVG and as PNG at the usual sizes, drawn from the same artwork as the windows.
#include "emblem.h"
#include "inclinationpictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

void paintScaled(QPainter& painter, const forms::Picture& picture, double side) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QSize size = picture.pixelSize();
    painter.scale(side / size.width(), side / size.height());
    picture.paint(painter);
}

bool writeIcon(const QDir& theme, const QString& name, const forms::Picture& picture,
               const QIcon& handTuned) {
    const QString scalable = theme.filePath("scalable/apps");
    QDir().mkpath(scalable);
    QSvgGenerator svg;
    svg.setFileName(scalable + "/" + name + ".svg");
    svg.setSize(picture.pixelSize());
    svg.setViewBox(QRect(QPoint(0, 0), picture.pixelSize()));
    svg.setTitle(name);
    {
        QPainter painter(&svg);
        paintScaled(painter, picture, picture.pixelSize().width());
    }
    for (int side : kSizes) {
        const QString folder = theme.filePath(QString("%1x%1/apps").arg(side));
        QDir().mkpath(folder);
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        if (!handTuned.isNull() && handTuned.availableSizes().contains(QSize(side, side))) {
            image = handTuned.pixmap(side, side).toImage();
        } else {
            QPainter painter(&image);
            paintScaled(painter, picture, side);
        }
        if (!image.save(folder + "/" + name + ".png")) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon-export OUTDIR\n");
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]) + "/hicolor");
    const bool written =
        writeIcon(theme, "dorvane", emblem::picture(QColor(0xB4, 0x96, 0xE6), Qt::transparent), {}) &&
        writeIcon(theme, "skelvin", emblem::picture(QColor(0x8C, 0xB4, 0xE6), Qt::transparent), {}) &&
        writeIcon(theme, "quillet", inclination::folderPicture(), inclination::folderIcon());
    return written ? 0 : 1;
}
