// SPDX-License-Identifier: GPL-3.0-or-later
#include "slopeicon.h"

namespace slope {

using namespace forms::icondraw;

forms::IconArtwork lessonIcon() {
    return forms::IconArtwork([](QPainter& painter, int side) {
        tile(painter, side, QColor(0xE3, 0xEE, 0xFB), QColor(0x3F, 0x6F, 0xB0));

        // The legs first, so that the line lies over their ends as in the lesson.
        const int legs = strokeWidth(side, 1.0 / 10);
        const double left = side * 0.22;
        const double right = snap(side * 0.72, legs);
        const double bottom = snap(side * 0.72, legs);
        const double top = side * 0.30;
        painter.setPen(QPen(QColor(0x00, 0x00, 0xFF), legs, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(left, bottom), QPointF(right + legs / 2.0, bottom));
        painter.setPen(QPen(QColor(0xFF, 0x00, 0x00), legs, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(right, bottom + legs / 2.0), QPointF(right, top));

        // The line runs on past both points, nearly from rim to rim.
        const QPointF p1(left, bottom), p2(right, top);
        const QPointF along = p2 - p1;
        const double reach = 0.28;
        painter.setPen(QPen(Qt::black, strokeWidth(side, 1.0 / 14), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(p1 - along * reach, p2 + along * reach);
        const double radius = std::max(1.5, side * 0.07);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawEllipse(p1, radius, radius);
        painter.drawEllipse(p2, radius, radius);
    });
}

}  // namespace slope
