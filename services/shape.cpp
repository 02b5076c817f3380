#include "shape.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace forms {

Shape::Shape(const ShapeDesign& design, Surface& surface)
    : Windowless(design.name),
      fillColor_(design.fillColor),
      borderColor_(design.borderColor),
      left_(float(design.rect.left)),
      top_(float(design.rect.top)),
      width_(float(design.rect.width)),
      height_(float(design.rect.height)) {
    attachTo(surface);
    if (!design.visible) Windowless::setVisible(false);
}

void Shape::setLeft(float left) {
    if (left_ == left) return;
    change([&] { left_ = left; });
}

void Shape::setTop(float top) {
    if (top_ == top) return;
    change([&] { top_ = top; });
}

QRectF Shape::pixelBounds() const {
    const QPointF topLeft = scale().toPixels(left_, top_);
    return QRectF(std::round(topLeft.x()), std::round(topLeft.y()),
                  std::round(scale().widthToPixels(width_)),
                  std::round(scale().heightToPixels(height_)));
}

void Shape::paint(QPainter& painter) const {
    const QRectF box = pixelBounds();
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize size = (box.size() * ratio).toSize();
    if (size.isEmpty()) return;
    if (rendered_.size() != size || rendered_.devicePixelRatio() != ratio) {
        rendered_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        rendered_.setDevicePixelRatio(ratio);
        rendered_.fill(Qt::transparent);
        QPainter circlePainter(&rendered_);
        circlePainter.setRenderHint(QPainter::Antialiasing);
        const double diameter = std::min(box.width(), box.height());
        const QRectF circle((box.width() - diameter) / 2, (box.height() - diameter) / 2, diameter,
                            diameter);
        circlePainter.setPen(QPen(toQColor(borderColor_), 1));
        circlePainter.setBrush(toQColor(fillColor_));
        circlePainter.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    painter.drawImage(box.topLeft(), rendered_);
}

void Shape::rescale(const UserScale& from, const UserScale& to) {
    const QPointF topLeft = to.toUser(from.toPixels(left_, top_));
    left_ = float(topLeft.x());
    top_ = float(topLeft.y());
    width_ = float(to.widthToUser(from.widthToPixels(width_)));
    height_ = float(to.heightToUser(from.heightToPixels(height_)));
}

}  // namespace forms
