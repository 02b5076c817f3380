// SPDX-License-Identifier: GPL-3.0-or-later
#include "shape.h"

#include <QPainter>
#include <algorithm>

namespace forms {

Shape::Shape(const ShapeDesign& design, Surface& surface)
    : BoxControl(design.name, design.rect, surface, design.visible),
      fillColor_(design.fillColor),
      borderColor_(design.borderColor) {}

void Shape::draw(QPainter& painter, QSizeF size) const {
    const double diameter = std::min(size.width(), size.height());
    const QRectF circle((size.width() - diameter) / 2, (size.height() - diameter) / 2, diameter,
                        diameter);
    painter.setPen(QPen(toQColor(borderColor_), 1));
    painter.setBrush(toQColor(fillColor_));
    painter.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
}

}  // namespace forms
