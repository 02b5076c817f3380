#include "picture.h"

namespace forms {

Picture::Picture(QSize pixelSize, Artwork artwork, QColor background)
    : pixelSize_(pixelSize), artwork_(std::move(artwork)), background_(background) {}

const QImage& Picture::rendered(qreal devicePixelRatio) const {
    if (cache_->devicePixelRatio != devicePixelRatio || cache_->image.isNull()) {
        QImage image(pixelSize_ * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(devicePixelRatio);
        image.fill(background_);
        if (artwork_) {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            artwork_(painter);
        }
        cache_->image = std::move(image);
        cache_->devicePixelRatio = devicePixelRatio;
    }
    return cache_->image;
}

}  // namespace forms
