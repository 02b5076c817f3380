// SPDX-License-Identifier: GPL-3.0-or-later
#include "distancepictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <cmath>

#include "fonts.h"

namespace distance {

namespace {

// A stroke of the given width along the polyline, as an outline to fill.
QPainterPath stroke(const QPolygonF& line, qreal width, Qt::PenCapStyle cap = Qt::FlatCap) {
    QPainterPath path;
    path.addPolygon(line);
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::MiterJoin);
    return stroker.createStroke(path);
}

// A radical sign whose hook starts at left and reaches down to bottom; its rising stroke
// meets the overline at (topX, top) and the overline runs on to right. The thin lead-in,
// the heavy descent and the hairline rise are the shape of a typeset radical; scale sizes
// the hook, while the rise and the overline keep one thickness.
QPainterPath radical(qreal left, qreal leadY, qreal bottom, qreal topX, qreal top, qreal right,
                     qreal scale) {
    const qreal footX = left + (topX - left) * 0.45;
    const qreal kneeX = left + (topX - left) * 0.17;
    const qreal kneeY = leadY - 2.2 * scale;
    QPainterPath sign;
    sign.setFillRule(Qt::WindingFill);
    sign.addPath(stroke({QPointF(left, leadY), QPointF(kneeX, kneeY)}, 1.0 * scale, Qt::RoundCap));
    sign.addPath(stroke({QPointF(kneeX, kneeY), QPointF(footX, bottom)}, 2.3 * scale));
    sign.addPath(stroke(
        {QPointF(footX - 0.6 * scale, bottom), QPointF(topX, top), QPointF(right, top)}, 1.3));
    return sign.simplified();
}

// Lays text out left to right as glyph outlines, so that the formula can be measured by
// its ink and centred exactly.
class Line {
public:
    explicit Line(qreal x = 0) : x_(x) {}

    void text(const QString& text, const QFont& font, qreal rise = 0) {
        path_.addText(x_, -rise, font, text);
        x_ += QFontMetricsF(font).horizontalAdvance(text);
    }
    void space(qreal width) { x_ += width; }
    qreal x() const { return x_; }
    const QPainterPath& path() const { return path_; }

private:
    QPainterPath path_;
    qreal x_ = 0;
};

// The absolute value bars around two italic letters, with the italic overhang of the
// second letter kept clear of the closing bar.
void absolute(Line& line, const QString& letters, const QFont& upright, const QFont& italic) {
    line.text(QStringLiteral("|"), upright);
    line.space(0.5);
    line.text(letters, italic);
    line.space(1.5);
    line.text(QStringLiteral("|"), upright);
}

}  // namespace

forms::Picture generalFormulaPicture() {
    return forms::Picture(QSize(232, 46), [](QPainter& painter) {
        const QFont upright = forms::pictureSerif(20, false);
        const QFont italic = forms::pictureSerif(20, true);
        const QFont small = forms::pictureSerif(13, false);
        const qreal bigSpace = QFontMetricsF(upright).horizontalAdvance(QLatin1Char(' '));

        Line left;
        absolute(left, QStringLiteral("AB"), upright, italic);
        left.space(bigSpace);
        left.text(QStringLiteral("="), upright);
        left.space(bigSpace);
        const qreal signLeft = left.x();

        Line radicand(signLeft + 15);
        const qreal radicandLeft = radicand.x();
        absolute(radicand, QStringLiteral("OA"), upright, italic);
        radicand.space(0.5);
        radicand.text(QStringLiteral("2"), small, 8);
        radicand.space(bigSpace);
        radicand.text(QStringLiteral("+"), upright);
        radicand.space(bigSpace);
        absolute(radicand, QStringLiteral("OB"), upright, italic);
        radicand.space(0.5);
        radicand.text(QStringLiteral("2"), small, 8);
        radicand.space(2);

        // The overline clears the exponents and lies on whole pixels; the formula is then
        // centred by whole pixels so that it stays sharp.
        const QRectF inner = radicand.path().boundingRect();
        const qreal overline = std::round(inner.top() - 3.2) + 0.65;
        const QPainterPath sign = radical(signLeft, inner.center().y() + 1, inner.bottom() + 1,
                                          radicandLeft - 2, overline, radicand.x(), 1.0);

        QPainterPath all = left.path();
        all.addPath(radicand.path());
        all.addPath(sign);
        const QRectF ink = all.boundingRect();
        painter.translate(std::round(116 - ink.center().x()), std::round(23 - ink.center().y()));
        // Filled one by one, so that touching glyphs cannot cancel each other out.
        for (const QPainterPath* path : {&left.path(), &radicand.path(), &sign}) {
            painter.fillPath(*path, Qt::black);
        }
    });
}

forms::Picture radicalRowPicture() {
    return forms::Picture(QSize(334, 47), [](QPainter& painter) {
        // Drawn to fixed coordinates: the lesson's number labels fit beneath the overline
        // from x = 48, and a strip over the window's edge masks the overline at rows 0-2.
        painter.fillRect(QRectF(4, 25.0, 14, 1.3), Qt::black);
        painter.fillRect(QRectF(4, 30.0, 14, 1.3), Qt::black);
        painter.fillPath(radical(22.5, 31.0, 42.0, 46.0, 1.35, 334.0, 1.1), Qt::black);
    });
}

}  // namespace distance
