// SPDX-License-Identifier: GPL-3.0-or-later
#include "inclinationpictures.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>
#include <QTransform>
#include <array>

namespace inclination {

namespace {

const QColor kPanel(0xCC, 0xE6, 0xFF);
const QColor kHeading(0xFF, 0x3C, 0x78);
const QColor kHeadingShadow(0x50, 0x40, 0x60);

// The folder's colours: outline, light top edge, body, shaded edge and drop shadow.
const QColor kOutline(0x3A, 0x28, 0x8C);
const QColor kHighlight(0xC6, 0xBA, 0xFA);
const QColor kBody(0x86, 0x6E, 0xE8);
const QColor kShade(0x66, 0x4E, 0xCC);
const QColor kDrop(0, 0, 0, 56);

// The heading as outlines, sheared into a slant because the face has no italic, and
// thickened a little because the brush strokes of the face are too fine to carry a shadow.
QPainterPath heading() {
    QFont font(QStringLiteral("AR PL UKai CN"));
    font.setPixelSize(22);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    QPainterPath text;
    text.addText(0, 0, font, QStringLiteral("设置坐标系"));
    QPainterPathStroker stroker;
    stroker.setWidth(0.8);
    stroker.setJoinStyle(Qt::RoundJoin);
    text = (text + stroker.createStroke(text)).simplified();
    QTransform slant;
    slant.shear(-0.22, 0);
    return slant.map(text);
}

// The 16-pixel folder is drawn pixel by pixel, as an icon that small must be, so that
// every edge stays sharp.
constexpr std::array<const char*, 16> kSmallFolder = {
    "................",  //
    "................",  //
    ".ooooo..........",  //
    "ohhhhho.........",  //
    "ohbbbbbooooooo..",  //
    "ohhhhhhhhhhhhho.",  //
    "ohbbbbbbbbbbbsod",  //
    "ohbbbbbbbbbbbsod",  //
    "ohbbbbbbbbbbbsod",  //
    "ohbbbbbbbbbbbsod",  //
    "ohbbbbbbbbbbbsod",  //
    "ohbbbbbbbbbbbsod",  //
    "ohbbbbbbbbbbbsod",  //
    "osssssssssssssod",  //
    "oooooooooooooood",  //
    ".ddddddddddddddd",  //
};

QImage smallFolder() {
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            QColor color;
            switch (kSmallFolder[y][x]) {
                case 'o':
                    color = kOutline;
                    break;
                case 'h':
                    color = kHighlight;
                    break;
                case 'b':
                    color = kBody;
                    break;
                case 's':
                    color = kShade;
                    break;
                case 'd':
                    color = kDrop;
                    break;
                default:
                    continue;
            }
            painter.fillRect(x, y, 1, 1, color);
        }
    }
    return image;
}

// The folder drawn over (0, 0)-(32, 32); scaled, it serves every larger size too.
void paintFolder(QPainter& painter) {
    // The outline runs along pixel centres so that its straight edges fill whole pixels.
    QPainterPath folder(QPointF(1.5, 7.5));
    folder.lineTo(1.5, 5.5);
    folder.quadTo(1.5, 4.5, 2.5, 4.5);
    folder.lineTo(11.5, 4.5);
    folder.lineTo(14.5, 7.5);
    folder.lineTo(28.5, 7.5);
    folder.quadTo(29.5, 7.5, 29.5, 8.5);
    folder.lineTo(29.5, 27.5);
    folder.lineTo(1.5, 27.5);
    folder.closeSubpath();

    painter.setPen(Qt::NoPen);
    painter.setBrush(kDrop);
    painter.drawPath(folder.translated(1.5, 1.5));

    QLinearGradient fill(0, 5, 0, 28);
    fill.setColorAt(0, kHighlight);
    fill.setColorAt(0.25, kBody);
    fill.setColorAt(1, kShade);
    painter.setBrush(fill);
    painter.setPen(QPen(kOutline, 1));
    painter.drawPath(folder);

    // Where the front flap meets the back: a dark line, then the flap's lit top and left
    // edges and its shaded right and bottom ones.
    painter.setPen(QPen(kOutline, 1));
    painter.drawLine(QPointF(2, 10.5), QPointF(29, 10.5));
    painter.setPen(QPen(kHighlight, 1));
    painter.drawLine(QPointF(2, 11.5), QPointF(29, 11.5));
    painter.drawLine(QPointF(2.5, 12), QPointF(2.5, 27));
    painter.setPen(QPen(kShade.darker(115), 1));
    painter.drawLine(QPointF(28.5, 12), QPointF(28.5, 27));
    painter.drawLine(QPointF(3, 26.5), QPointF(28, 26.5));
}

QImage largeFolder() {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintFolder(painter);
    return image;
}

}  // namespace

forms::Picture panelPicture() {
    return forms::Picture(QSize(195, 360), [](QPainter& painter) {
        const QRectF panel(0, 0, 193, 358);
        painter.fillRect(panel, kPanel);
        // A two-pixel shadow along the right and bottom edges, darker at the very edge.
        painter.fillRect(QRectF(193, 0, 2, 360), QColor(0xA0, 0xA8, 0xB4));
        painter.fillRect(QRectF(0, 358, 195, 2), QColor(0xA0, 0xA8, 0xB4));
        painter.fillRect(QRectF(194, 0, 1, 360), QColor(0x70, 0x78, 0x84));
        painter.fillRect(QRectF(0, 359, 195, 1), QColor(0x70, 0x78, 0x84));

        const QPainterPath text = heading();
        painter.fillPath(text.translated(11, 27), kHeadingShadow);
        painter.fillPath(text.translated(10, 26), kHeading);
    });
}

forms::Picture folderPicture() {
    return forms::Picture(QSize(32, 32), paintFolder, Qt::transparent);
}

QIcon folderIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(smallFolder()));
    icon.addPixmap(QPixmap::fromImage(largeFolder()));
    return icon;
}

}  // namespace inclination
