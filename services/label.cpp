// SPDX-License-Identifier: GPL-3.0-or-later
#include "label.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace forms {

Label::Label(const LabelDesign& design, Surface& surface)
    : BoxControl(design.name, design.rect, surface, design.visible),
      caption_(design.caption),
      font_(toQFont(design.font)),
      foreColor_(design.foreColor),
      backColor_(design.backColor),
      autoSize_(design.autoSize),
      transparent_(design.transparent) {
    fitToCaption();
}

void Label::fitToCaption() {
    forgetDrawing();
    const LineBox line = lineBox(font_);
    ascent_ = line.ascent;
    if (!autoSize_) return;
    // The classic platform measures text in whole pixels.
    const double textWidth =
        std::ceil(QFontMetricsF(font_).horizontalAdvance(QString::fromStdString(caption_)));
    const double textHeight = std::ceil(line.height);
    setSize(float(scale().widthToUser(textWidth)), float(scale().heightToUser(textHeight)));
}

void Label::setCaption(std::string caption) {
    if (caption_ == caption) return;
    change([&] {
        caption_ = std::move(caption);
        fitToCaption();
    });
}

void Label::draw(QPainter& painter, QSizeF size) const {
    if (!transparent_) painter.fillRect(QRectF(QPointF(0, 0), size), toQColor(backColor_));
    painter.setFont(font_);
    painter.setPen(toQColor(foreColor_));
    // Drawn from its baseline; the image's edge clips a fixed-size label's text.
    painter.drawText(QPointF(0, ascent_), QString::fromStdString(caption_));
}

}  // namespace forms
