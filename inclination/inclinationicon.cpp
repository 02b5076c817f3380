// SPDX-License-Identifier: GPL-3.0-or-later
#include "inclinationicon.h"

#include <QPainterPath>
#include <cmath>

namespace inclination {

using namespace forms::icondraw;

forms::IconArtwork lessonIcon() {
    return forms::IconArtwork([](QPainter& painter, int side) {
        tile(painter, side, QColor(0xFB, 0xF3, 0xDA), QColor(0xA0, 0x78, 0x1E));

        const int axisWidth = strokeWidth(side, 1.0 / 24);
        const double axisY = snap(side * 0.70, axisWidth);
        const QPointF pivot(side * 0.36, axisY);
        const double angle = 58.0;  // degrees, steep enough to leave room for the arc
        const double radius = side * 0.26;

        // The angle as a pale red wedge inside its red arc: at 16 pixels the wedge is what
        // the eye finds.
        QPainterPath wedge(pivot);
        wedge.arcTo(QRectF(pivot.x() - radius, pivot.y() - radius, 2 * radius, 2 * radius), 0,
                    angle);
        wedge.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xFF, 0x00, 0x00, 70));
        painter.drawPath(wedge);

        painter.setPen(QPen(QColor(0x40, 0x40, 0x40), axisWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(side * 0.12, axisY), QPointF(side * 0.88, axisY));

        QPainterPath arc;
        arc.arcMoveTo(QRectF(pivot.x() - radius, pivot.y() - radius, 2 * radius, 2 * radius), 0);
        arc.arcTo(QRectF(pivot.x() - radius, pivot.y() - radius, 2 * radius, 2 * radius), 0, angle);
        painter.setPen(QPen(QColor(0xFF, 0x00, 0x00), strokeWidth(side, 1.0 / 20), Qt::SolidLine,
                            Qt::FlatCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(arc);

        // The line through the pivot, from below the axis to near the top rim.
        const double radians = angle * 3.14159265358979 / 180.0;
        const QPointF direction(std::cos(radians), -std::sin(radians));
        painter.setPen(QPen(Qt::black, strokeWidth(side, 1.0 / 12), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(pivot - direction * (side * 0.14), pivot + direction * (side * 0.60));
        const double dot = std::max(1.5, side * 0.075);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xA0, 0x78, 0x1E));
        painter.drawEllipse(pivot, dot, dot);
    });
}

}  // namespace inclination
