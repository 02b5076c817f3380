// SPDX-License-Identifier: GPL-3.0-or-later
#include "inclinationpictures.h"

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTransform>

namespace inclination {

namespace {

const QColor kPanel(0xCC, 0xE6, 0xFF);
const QColor kHeading(0xFF, 0x3C, 0x78);
const QColor kHeadingShadow(0x50, 0x40, 0x60);

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

}  // namespace inclination
