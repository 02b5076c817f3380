#include "label.h"

#include <QFontMetricsF>
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
    if (!autoSize_) return;
    // The classic platform measures text in whole pixels.
    const QFontMetricsF metrics(font_);
    const double textWidth = std::ceil(metrics.horizontalAdvance(QString::fromStdString(caption_)));
    const double textHeight = std::ceil(metrics.height());
    width_ = float(scale().widthToUser(textWidth));
    height_ = float(scale().heightToUser(textHeight));
}

void Label::setCaption(std::string caption) {
    if (caption_ == caption) return;
    change([&] {
        caption_ = std::move(caption);
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
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    if (!transparent_) painter.fillRect(box, toQColor(backColor_));
    painter.setFont(font_);
    painter.setPen(toQColor(foreColor_));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromStdString(caption_));
    painter.restore();
}

void Label::rescale(const UserScale& from, const UserScale& to) {
    const QPointF topLeft = to.toUser(from.toPixels(left_, top_));
    left_ = float(topLeft.x());
    top_ = float(topLeft.y());
    width_ = float(to.widthToUser(from.widthToPixels(width_)));
    height_ = float(to.heightToUser(from.heightToPixels(height_)));
}

}  // namespace forms
