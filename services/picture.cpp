// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture.h"

namespace forms {

Picture::Picture(QSize pixelSize, Artwork artwork, QColor background)
    : pixelSize_(pixelSize), artwork_(std::move(artwork)), background_(background) {}

const QImage& Picture::rendered(qreal devicePixelRatio) const {
    if (cache_->devicePixelRatio != devicePixelRatio || cache_->image.isNull()) {
        QImage image(pixelSize_ * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(devicePixelRatio);
        image.fill(background_);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        if (artwork_) artwork_(painter);
        cache_->image = std::move(image);
        cache_->devicePixelRatio = devicePixelRatio;
    }
    return cache_->image;
}

void Picture::paint(QPainter& painter) const {
    if (background_.alpha() > 0) painter.fillRect(QRectF(QPointF(0, 0), QSizeF(pixelSize_)), background_);
    if (artwork_) artwork_(painter);
}

}  // namespace forms
