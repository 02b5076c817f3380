// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture.h"

namespace forms {

Picture::Picture(QSize pixelSize, Artwork artwork, QColor background)
    : pixelSize_(pixelSize), artwork_(std::move(artwork)), background_(background) {}

namespace {

bool opaqueThroughout(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 255) return false;
    }
    return true;
}

}  // namespace

const QImage& Picture::rendered(qreal devicePixelRatio) const {
    if (cache_->devicePixelRatio != devicePixelRatio || cache_->image.isNull()) {
        QImage image(pixelSize_ * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
        // Too large to allocate: kept null, and drawn as nothing.
        if (image.isNull()) return cache_->image = QImage();
        image.setDevicePixelRatio(devicePixelRatio);
        image.fill(background_);
        {
            QPainter painter(&image);
            // A painter takes a device pixel ratio below 1 for 1, so the artwork would be
            // drawn at full size and cropped (a zoom below 100 % asks for such a ratio).
            if (devicePixelRatio < 1) painter.scale(devicePixelRatio, devicePixelRatio);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            if (artwork_) artwork_(painter);
        }
        // Opaque throughout (over a background colour, as most are): kept without alpha,
        // so that it is copied to the screen, not blended pixel by pixel.
        if (opaqueThroughout(image)) image.reinterpretAsFormat(QImage::Format_RGB32);
        cache_->image = std::move(image);
        cache_->devicePixelRatio = devicePixelRatio;
    }
    return cache_->image;
}

void Picture::paint(QPainter& painter) const {
    if (background_.alpha() > 0)
        painter.fillRect(QRectF(QPointF(0, 0), QSizeF(pixelSize_)), background_);
    if (artwork_) artwork_(painter);
}

}  // namespace forms
