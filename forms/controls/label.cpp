// SPDX-License-Identifier: GPL-3.0-or-later
#include "label.h"

#include <cmath>

namespace forms {

Label::Label(const LabelDesign& design, Surface& surface)
    : BoxControl(design.name, design.rect, surface, design.visible),
      caption_(design.caption),
      font_(toQFont(design.font)),
      foreColor_(design.foreColor),
      backColor_(design.backColor),
      autoSize_(design.autoSize),
      transparent_(design.transparent),
      line_(lineBox(font_)),
      shaper_(font_) {
    fitToCaption();
}

void Label::fitToCaption() {
    forgetDrawing();
    text_ = ShapedLine(QString::fromStdString(caption_), shaper_);
    if (!autoSize_) return;
    // The classic platform measures text in whole pixels.
    setSize(float(scale().widthToUser(std::ceil(text_.advance()))),
            float(scale().heightToUser(std::ceil(line_.height))));
}

void Label::setCaption(std::string caption) {
    if (caption_ == caption) return;
    change([&] {
        caption_ = std::move(caption);
        fitToCaption();
    });
}

// Drawn from its baseline; the image's edge clips a fixed-size label's text.
void Label::render(QImage& image, QSizeF) const {
    const QColor ground = transparent_ ? QColor(Qt::transparent) : toQColor(backColor_);
    if (!transparent_) image.fill(ground);
    text_.draw(image, line_.ascent, toQColor(foreColor_), ground);
}

bool Label::opaque() const {
    return !transparent_ && toQColor(backColor_).alpha() == 255;
}

}  // namespace forms
