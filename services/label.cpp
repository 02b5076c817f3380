#include "label.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace forms {

Label::Label(const LabelDesign& design, Surface& surface)
    : Windowless(design.name),
      caption_(design.caption),
      font_(toQFont(design.font)),
      foreColor_(design.foreColor),
      backColor_(design.backColor),
      autoSize_(design.autoSize),
      transparent_(design.transparent),
      left_(float(design.rect.left)),
      top_(float(design.rect.top)),
      width_(float(design.rect.width)),
      height_(float(design.rect.height)) {
    attachTo(surface);
    if (!design.visible) Windowless::setVisible(false);
    fitToCaption();
}

void Label::fitToCaption() {
    const QFontMetricsF metrics(font_);
    ascent_ = metrics.ascent();
    if (!autoSize_) return;
    // The classic platform measures text in whole pixels.
    const double textWidth = std::ceil(metrics.horizontalAdvance(QString::fromStdString(caption_)));
    const double textHeight = std::ceil(metrics.height());
    width_ = float(scale().widthToUser(textWidth));
    height_ = float(scale().heightToUser(textHeight));
}

void Label::setCaption(std::string caption) {
    if (caption_ == caption) return;
    change([&] {
        caption_ = std::move(caption);
        rendered_ = QImage();
        fitToCaption();
    });
}

void Label::setLeft(float left) {
    if (left_ == left) return;
    change([&] { left_ = left; });
}

void Label::setTop(float top) {
    if (top_ == top) return;
    change([&] { top_ = top; });
}

QRectF Label::pixelBounds() const {
    const QPointF topLeft = scale().toPixels(left_, top_);
    return QRectF(std::round(topLeft.x()), std::round(topLeft.y()),
                  std::round(scale().widthToPixels(width_)),
                  std::round(scale().heightToPixels(height_)));
}

void Label::paint(QPainter& painter) const {
    const QRectF box = pixelBounds();
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize size = (box.size() * ratio).toSize();
    if (size.isEmpty()) return;
    if (rendered_.size() != size || rendered_.devicePixelRatio() != ratio) {
        rendered_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        rendered_.setDevicePixelRatio(ratio);
        rendered_.fill(transparent_ ? QColor(Qt::transparent) : toQColor(backColor_));
        QPainter textPainter(&rendered_);
        textPainter.setRenderHint(QPainter::TextAntialiasing);
        textPainter.setFont(font_);
        textPainter.setPen(toQColor(foreColor_));
        // Drawn from its baseline; the image's edge clips a fixed-size label's text.
        textPainter.drawText(QPointF(0, ascent_), QString::fromStdString(caption_));
    }
    painter.drawImage(box.topLeft(), rendered_);
}

void Label::rescale(const UserScale& from, const UserScale& to) {
    const QPointF topLeft = to.toUser(from.toPixels(left_, top_));
    left_ = float(topLeft.x());
    top_ = float(topLeft.y());
    width_ = float(to.widthToUser(from.widthToPixels(width_)));
    height_ = float(to.heightToUser(from.heightToPixels(height_)));
}

}  // namespace forms
