// SPDX-License-Identifier: GPL-3.0-or-later
// icon-export OUTDIR: writes the lessons' icons into a hicolor icon theme under OUTDIR,
// as SVG and as PNG at the usual sizes, drawn by the same code as the windows' icons.
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "distanceicon.h"
#include "inclinationicon.h"
#include "slopeicon.h"

namespace {

bool writeIcon(const QDir& theme, const QString& name, const forms::IconArtwork& artwork) {
    // The scalable icon is the largest drawing, whose strokes need no pixel fitting.
    const int largest = forms::IconArtwork::kSides.back();
    const QString scalable = theme.filePath("scalable/apps");
    QDir().mkpath(scalable);
    QSvgGenerator svg;
    svg.setFileName(scalable + "/" + name + ".svg");
    svg.setSize(QSize(largest, largest));
    svg.setViewBox(QRect(0, 0, largest, largest));
    svg.setTitle(name);
    {
        QPainter painter(&svg);
        artwork.paint(painter, largest);
    }
    for (int side : forms::IconArtwork::kSides) {
        const QString folder = theme.filePath(QString("%1x%1/apps").arg(side));
        QDir().mkpath(folder);
        if (!artwork.image(side).save(folder + "/" + name + ".png")) return false;
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
    const bool written = writeIcon(theme, "dorvane", distance::lessonIcon()) &&
                         writeIcon(theme, "skelvin", slope::lessonIcon()) &&
                         writeIcon(theme, "quillet", inclination::lessonIcon());
    return written ? 0 : 1;
}
