// SPDX-License-Identifier: GPL-3.0-or-later
#include "iconartwork.h"

#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace forms {

QImage IconArtwork::image(int side) const {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter, side);
    return image;
}

QIcon IconArtwork::icon() const {
    QIcon icon;
    for (int side : kSides) icon.addPixmap(QPixmap::fromImage(image(side)));
    return icon;
}

void IconArtwork::paint(QPainter& painter, int side) const {
    if (!paint_) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    paint_(painter, side);
    painter.restore();
}

namespace icondraw {

int strokeWidth(int side, double fraction) {
    return std::max(1, static_cast<int>(std::lround(side * fraction)));
}

double snap(double position, int width) {
    return width % 2 == 1 ? std::floor(position) + 0.5 : std::round(position);
}

void dottedLine(QPainter& painter, QPointF from, QPointF to, int width, const QColor& color) {
    const QPointF along = to - from;
    const double length = std::hypot(along.x(), along.y());
    // Dots one width apart, centre to centre two widths, with a dot on each end.
    const int gaps = std::max(1, static_cast<int>(std::lround(length / (2.0 * width))));
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (int i = 0; i <= gaps; ++i) {
        const QPointF centre = from + along * (double(i) / gaps);
        if (width <= 2) {
            // A dot this small is a square of whole pixels, or it blurs into grey.
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.drawRect(QRectF(std::floor(centre.x() - width / 2.0 + 0.5),
                                    std::floor(centre.y() - width / 2.0 + 0.5), width, width));
        } else {
            painter.drawEllipse(centre, width / 2.0, width / 2.0);
        }
    }
    painter.restore();
}

void tile(QPainter& painter, int side, const QColor& fill, const QColor& rim) {
    const int rimWidth = strokeWidth(side, 1.0 / 32);
    const double inset = rimWidth / 2.0 + (side >= 32 ? side / 32.0 : 0);
    const QRectF body(inset, inset, side - 2 * inset, side - 2 * inset);
    const double radius = side / 8.0;
    painter.save();
    painter.setPen(QPen(rim, rimWidth));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, radius, radius);
    painter.restore();
}

}  // namespace icondraw

}  // namespace forms
