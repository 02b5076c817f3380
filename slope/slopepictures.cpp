// SPDX-License-Identifier: GPL-3.0-or-later
#include "slopepictures.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "fonts.h"

namespace slope {

namespace {

const QColor kNumerator(0xFF, 0x00, 0x00);
const QColor kDenominator(0x00, 0x00, 0xFF);

// The thickness of the fraction bar, close to that of the minus sign.
constexpr qreal kBar = 1.25;

// A run of text set left to right on a baseline at y = 0, kept as coloured glyph
// outlines so that it can be measured by its ink and placed exactly.
class Run {
public:
    void text(const QString& text, const QFont& font, const QColor& color, qreal drop = 0) {
        QPainterPath path;
        path.addText(x_, drop, font, text);
        pieces_.emplace_back(color, path);
        x_ += QFontMetricsF(font).horizontalAdvance(text);
    }

    // A letter with a subscript digit, both in one colour.
    void subscripted(const QString& letter, const QString& digit, const QColor& color,
                     int letterSize, int digitSize, qreal kern = 0) {
        text(letter, forms::pictureSerif(letterSize, true), color);
        x_ += letterSize * 0.02 + kern;
        text(digit, forms::pictureSerif(digitSize, false), color, letterSize * 0.22);
    }

    void space(qreal width) { x_ += width; }
    qreal advance() const { return x_; }

    void add(const Run& other, QPointF offset) {
        for (const auto& [color, path] : other.pieces_) {
            pieces_.emplace_back(color, path.translated(offset));
        }
    }
    void addRule(const QRectF& rule, const QColor& color) {
        QPainterPath path;
        path.addRect(rule);
        pieces_.emplace_back(color, path);
    }

    QRectF ink() const {
        QRectF bounds;
        for (const auto& piece : pieces_) {
            bounds |= piece.second.boundingRect();
        }
        return bounds;
    }

    void paint(QPainter& painter) const {
        for (const auto& [color, path] : pieces_) {
            painter.fillPath(path, color);
        }
    }

private:
    std::vector<std::pair<QColor, QPainterPath>> pieces_;
    qreal x_ = 0;
};

// Paints the run with its ink centred in a box of the given size, on whole pixels so that
// straight rules stay sharp, and shrunk only if it would otherwise touch the edges.
void paintCentred(QPainter& painter, const Run& run, QSizeF box, qreal margin) {
    const QRectF ink = run.ink();
    const qreal scale = std::min({1.0, (box.width() - 2 * margin) / ink.width(),
                                  (box.height() - 2 * margin) / ink.height()});
    if (scale < 1) {
        painter.translate(box.width() / 2, box.height() / 2);
        painter.scale(scale, scale);
        painter.translate(-ink.center());
    } else {
        const QPointF offset = QPointF(box.width() / 2, box.height() / 2) - ink.center();
        painter.translate(std::round(offset.x()), std::round(offset.y()));
    }
    run.paint(painter);
}

// A tag of a letter with a subscript digit; kern moves the digit in under a letter
// whose italic shape leaves room at its foot.
forms::Picture tag(QSize size, const QString& letter, const QString& digit, int letterSize,
                   qreal kern = 0) {
    return forms::Picture(size, [=](QPainter& painter) {
        Run run;
        run.subscripted(letter, digit, Qt::black, letterSize, 9, kern);
        paintCentred(painter, run, QSizeF(size), 0.5);
    });
}

// A difference of two subscripted letters, as in a numerator or a denominator.
Run difference(const QString& letter, const QColor& color, int size, int subSize) {
    Run run;
    run.subscripted(letter, QStringLiteral("2"), color, size, subSize);
    run.space(size * 0.22);
    run.text(QStringLiteral("\u2212"), forms::pictureSerif(size, false), Qt::black);
    run.space(size * 0.22);
    run.subscripted(letter, QStringLiteral("1"), color, size, subSize);
    return run;
}

}  // namespace

forms::Picture slopeFormulaPicture() {
    return forms::Picture(QSize(253, 82), [](QPainter& painter) {
        const int size = 26;
        const int subSize = 16;
        const QFont upright = forms::pictureSerif(size, false);
        const qreal space = QFontMetricsF(upright).horizontalAdvance(QLatin1Char(' '));

        Run formula;
        formula.text(QStringLiteral("k"), forms::pictureSerif(size, true), Qt::black);
        formula.space(space);
        formula.text(QStringLiteral("="), upright, Qt::black);
        formula.space(space);

        // The fraction bar sits on the axis of the minus sign, and both terms are centred
        // on it a little clear of the bar.
        const qreal axis =
            QFontMetricsF(upright).tightBoundingRect(QStringLiteral("\u2212")).center().y();
        const Run numerator = difference(QStringLiteral("y"), kNumerator, size, subSize);
        const Run denominator = difference(QStringLiteral("x"), kDenominator, size, subSize);
        const qreal overhang = 2;
        const qreal barTop = std::round(axis - 0.6);
        const qreal barWidth = std::max(numerator.advance(), denominator.advance()) + 2 * overhang;
        const qreal barLeft = formula.advance();
        const qreal gap = 3.5;
        const QRectF numeratorInk = numerator.ink();
        const QRectF denominatorInk = denominator.ink();
        formula.add(numerator, QPointF(barLeft + (barWidth - numerator.advance()) / 2,
                                       barTop - gap - numeratorInk.bottom()));
        formula.add(denominator, QPointF(barLeft + (barWidth - denominator.advance()) / 2,
                                         barTop + kBar + gap - denominatorInk.top()));
        formula.addRule(QRectF(barLeft, barTop, barWidth, kBar), Qt::black);
        formula.space(barWidth + 2 * space);

        formula.text(QStringLiteral("("), upright, Qt::black);
        formula.subscripted(QStringLiteral("x"), QStringLiteral("1"), Qt::black, size, subSize);
        formula.space(space);
        formula.text(QStringLiteral("\u2260"), upright, Qt::black);
        formula.space(space);
        formula.subscripted(QStringLiteral("x"), QStringLiteral("2"), Qt::black, size, subSize);
        formula.space(1);
        formula.text(QStringLiteral(")"), upright, Qt::black);

        paintCentred(painter, formula, QSizeF(253, 82), 4);
    });
}

forms::Picture x1Picture() {
    return tag(QSize(13, 16), QStringLiteral("x"), QStringLiteral("1"), 14);
}
forms::Picture x2Picture() {
    return tag(QSize(16, 16), QStringLiteral("x"), QStringLiteral("2"), 14);
}
forms::Picture y1Picture() {
    return tag(QSize(14, 14), QStringLiteral("y"), QStringLiteral("1"), 14);
}
forms::Picture y2Picture() {
    return tag(QSize(15, 13), QStringLiteral("y"), QStringLiteral("2"), 14);
}
forms::Picture p1Picture() {
    return tag(QSize(11, 17), QStringLiteral("P"), QStringLiteral("1"), 13, -1.5);
}
forms::Picture p2Picture() {
    return tag(QSize(13, 19), QStringLiteral("P"), QStringLiteral("2"), 13, -1.5);
}

}  // namespace slope
