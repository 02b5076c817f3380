// SPDX-License-Identifier: GPL-3.0-or-later
#include "distanceicon.h"

namespace distance {

using namespace forms::icondraw;

forms::IconArtwork lessonIcon() {
    return forms::IconArtwork([](QPainter& painter, int side) {
        const QColor ink(0x2A, 0x1A, 0x5E);
        tile(painter, side, QColor(0xEF, 0xE8, 0xFB), QColor(0x6A, 0x4F, 0xB0));

        // A lower left, B upper right, the corner O below B: the lesson's own triangle.
        const int dots = strokeWidth(side, 1.0 / 16);
        const double left = snap(side * 0.24, dots);
        const double right = snap(side * 0.74, dots);
        const double bottom = snap(side * 0.74, dots);
        const double top = snap(side * 0.24, dots);
        const QPointF a(left, bottom), b(right, top), o(right, bottom);
        dottedLine(painter, a, o, dots, ink);
        dottedLine(painter, o, b, dots, ink);
        if (side >= 32) {  // the right-angle mark needs room to read as one
            const double mark = side * 0.12;
            painter.setPen(
                QPen(ink, strokeWidth(side, 1.0 / 48), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(QPolygonF{
                {o.x() - mark, o.y()}, {o.x() - mark, o.y() - mark}, {o.x(), o.y() - mark}});
        }

        painter.setPen(QPen(Qt::black, strokeWidth(side, 1.0 / 11), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(a, b);
        const double radius = std::max(1.5, side * 0.075);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x6A, 0x4F, 0xB0));
        painter.drawEllipse(a, radius, radius);
        painter.drawEllipse(b, radius, radius);
    });
}

}  // namespace distance
