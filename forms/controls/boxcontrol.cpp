// SPDX-License-Identifier: GPL-3.0-or-later
#include "boxcontrol.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>
#include <new>

#include "pixelgeometry.h"

namespace forms {

BoxControl::BoxControl(std::string name, const TwipsRect& rect, Surface& surface, bool visible)
    : Windowless(std::move(name)),
      left_(float(rect.left)),
      top_(float(rect.top)),
      width_(float(rect.width)),
      height_(float(rect.height)) {
    attachTo(surface);
    if (!visible) Windowless::setVisible(false);
}

void BoxControl::setLeft(float left) {
    if (left_ == left) return;
    change([&] { left_ = left; });
}

void BoxControl::setTop(float top) {
    if (top_ == top) return;
    change([&] { top_ = top; });
}

void BoxControl::setSize(float width, float height) {
    width_ = width;
    height_ = height;
}

QRectF BoxControl::pixelBounds() const {
    const QPointF topLeft = scale().toPixels(left_, top_);
    return QRectF(std::round(topLeft.x()), std::round(topLeft.y()),
                  std::round(scale().widthToPixels(width_)),
                  std::round(scale().heightToPixels(height_)));
}

void BoxControl::paint(QPainter& painter) const {
    const QRectF box = pixelBounds();
    const qreal ratio = renderRatio(painter);
    const QSize size = (box.size() * ratio).toSize();
    if (size.isEmpty()) return;
    const bool opaqueDrawing = opaque();
    const QImage::Format format =
        opaqueDrawing ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
    if (drawing_.size() != size || drawing_.devicePixelRatio() != ratio ||
        drawing_.format() != format) {
        const qsizetype stride = qsizetype(size.width()) * 4;
        const std::size_t bytes = std::size_t(stride) * std::size_t(size.height());
        drawing_ = QImage();
        // At a device pixel ratio far beyond the screen's the memory may not be there; the
        // control is then not drawn, and asked again at the next paint.
        try {
            if (drawingMemory_.size() < bytes) drawingMemory_.resize(bytes);
        } catch (const std::bad_alloc&) {
            drawingMemory_ = {};
            return;
        }
        drawing_ = QImage(drawingMemory_.data(), size.width(), size.height(), stride, format);
        if (drawing_.isNull()) return;
        drawing_.setDevicePixelRatio(ratio);
        if (!opaqueDrawing) drawing_.fill(Qt::transparent);
        render(drawing_, box.size());
    }
    // On whole device pixels the kept drawing is copied one to one, crisp at any zoom.
    drawDevicePixels(painter, snapToDevicePixel(box.topLeft(), ratio), drawing_);
}

void BoxControl::render(QImage& image, QSizeF size) const {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter, size);
}

void BoxControl::rescale(const UserScale& from, const UserScale& to) {
    const QPointF topLeft = to.toUser(from.toPixels(left_, top_));
    left_ = float(topLeft.x());
    top_ = float(topLeft.y());
    width_ = float(to.widthToUser(from.widthToPixels(width_)));
    height_ = float(to.heightToUser(from.heightToPixels(height_)));
}

}  // namespace forms
