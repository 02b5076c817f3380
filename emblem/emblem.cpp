// SPDX-License-Identifier: GPL-3.0-or-later
#include "emblem.h"

#include <QPainterPath>
#include <QPointF>
#include <cmath>
#include <numbers>

namespace emblem {

namespace {

// A five-pointed star standing upright on its centre.
QPainterPath star(QPointF centre, qreal outer, qreal inner) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 == 0 ? outer : inner;
        const qreal angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const QPointF p = centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    path.closeSubpath();
    return path;
}

// A pointed leaf from base to tip, as wide as the given fraction of its length.
QPainterPath leaf(QPointF base, QPointF tip, qreal fatness) {
    const QPointF along = tip - base;
    const QPointF across(-along.y() * fatness, along.x() * fatness);
    const QPointF middle = (base + tip) / 2;
    QPainterPath path(base);
    path.quadTo(middle + across, tip);
    path.quadTo(middle - across, base);
    return path;
}

// A laurel sprig curving up around the star; side is -1 for the left one, +1 for the right.
void paintSprig(QPainter& painter, const QColor& ink, qreal side) {
    QPainterPath stem(QPointF(29 + side * 5, 28.0));
    stem.cubicTo(QPointF(29 + side * 15, 26.5), QPointF(29 + side * 19, 18.0),
                 QPointF(29 + side * 16.5, 6.0));
    painter.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(stem);

    // Leaves sit in pairs along the stem, leaning toward its tip, the outer ones longer.
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    for (const qreal t : {0.22, 0.47, 0.72}) {
        const QPointF at = stem.pointAtPercent(t);
        const QPointF ahead = stem.pointAtPercent(t + 0.02) - at;
        const QPointF dir = ahead / std::hypot(ahead.x(), ahead.y());
        QPointF normal(-dir.y(), dir.x());
        if (normal.x() * side < 0) {
            normal = -normal;
        }
        painter.drawPath(leaf(at, at + dir * 3.6 + normal * 4.4, 0.4));
        painter.drawPath(leaf(at, at + dir * 3.4 - normal * 3.6, 0.4));
    }
    const QPointF end = stem.pointAtPercent(1.0);
    painter.drawPath(leaf(end + QPointF(0, 1.0), end + QPointF(-side * 1.4, -4.8), 0.4));
}

// One page of the open book; side is -1 for the left page, +1 for the right.
QPainterPath page(qreal side) {
    const qreal spine = 29;
    const qreal edge = spine + side * 23;
    QPainterPath path(QPointF(spine, 36.5));
    path.cubicTo(QPointF(spine + side * 7, 31.5), QPointF(spine + side * 16, 31.0),
                 QPointF(edge, 33.0));
    path.lineTo(edge, 49.5);
    path.cubicTo(QPointF(spine + side * 16, 47.5), QPointF(spine + side * 7, 48.0),
                 QPointF(spine, 52.5));
    path.closeSubpath();
    return path;
}

void paintBook(QPainter& painter, const QColor& ink) {
    // The cover shows as a solid band below and beside the pages.
    QPainterPath cover(QPointF(29, 40));
    cover.lineTo(3.5, 36.5);
    cover.lineTo(3.5, 53.0);
    cover.cubicTo(QPointF(14, 51.5), QPointF(22, 52.5), QPointF(29, 56.0));
    cover.cubicTo(QPointF(36, 52.5), QPointF(44, 51.5), QPointF(54.5, 53.0));
    cover.lineTo(54.5, 36.5);
    cover.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(cover);

    painter.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    painter.drawPath(page(-1));
    painter.drawPath(page(+1));

    // Lines of text follow the curve of the pages.
    painter.setPen(QPen(ink, 1.2, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (const qreal side : {-1.0, 1.0}) {
        for (int row = 0; row < 3; ++row) {
            const qreal dy = 4.0 * row;
            QPainterPath line(QPointF(29 + side * 4, 39.0 + dy));
            line.cubicTo(QPointF(29 + side * 8, 36.5 + dy), QPointF(29 + side * 14, 35.8 + dy),
                         QPointF(29 + side * 19, 36.6 + dy));
            painter.drawPath(line);
        }
    }
}

}  // namespace

forms::Picture picture(QColor ink, QColor paper) {
    return forms::Picture(
        QSize(58, 58),
        [ink](QPainter& painter) {
            paintBook(painter, ink);
            paintSprig(painter, ink, -1);
            paintSprig(painter, ink, +1);
            painter.setPen(Qt::NoPen);
            painter.setBrush(ink);
            painter.drawPath(star(QPointF(29, 15.5), 10.5, 4.3));
        },
        paper);
}

}  // namespace emblem
