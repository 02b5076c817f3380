// SPDX-License-Identifier: GPL-3.0-or-later
#include "image.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>

#include "pixelgeometry.h"

namespace forms {

Image::Image(const ImageDesign& design, Surface& surface)
    : Windowless(design.name),
      picture_(design.picture),
      accessibleName_(design.accessibleName),
      left_(float(design.left)),
      top_(float(design.top)) {
    attachTo(surface);
    if (!design.visible) Windowless::setVisible(false);
}

void Image::setLeft(float left) {
    if (left_ == left) return;
    change([&] { left_ = left; });
}

void Image::setTop(float top) {
    if (top_ == top) return;
    change([&] { top_ = top; });
}

void Image::click() {
    if (isVisible() && onClick) onClick();
}

QRectF Image::pixelBounds() const {
    const QPointF topLeft = scale().toPixels(left_, top_);
    return QRectF(QPointF(std::round(topLeft.x()), std::round(topLeft.y())),
                  QSizeF(picture_.pixelSize()));
}

void Image::paint(QPainter& painter) const {
    if (picture_.isNull()) return;
    const qreal ratio = renderRatio(painter);
    drawDevicePixels(painter, snapToDevicePixel(pixelBounds().topLeft(), ratio),
                     picture_.rendered(ratio));
}

void Image::rescale(const UserScale& from, const UserScale& to) {
    const QPointF topLeft = to.toUser(from.toPixels(left_, top_));
    left_ = float(topLeft.x());
    top_ = float(topLeft.y());
}

}  // namespace forms
