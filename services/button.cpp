// SPDX-License-Identifier: GPL-3.0-or-later
#include "button.h"

#include <QPushButton>
#include <cmath>

#include "zoom.h"

namespace forms {

Button::Button(const ButtonDesign& design, QWidget& window)
    : Control(design.name),
      rect_(design.rect),
      font_(design.font),
      caption_(design.caption),
      visible_(design.visible) {
    button_ = new QPushButton(QString::fromStdString(design.caption), &window);
    button_->setObjectName(QString::fromStdString(design.name));
    button_->setFont(toQFont(design.font));
    placeZoomed(*button_, design.rect, design.font, 1);
    button_->setAccessibleName(QString::fromStdString(design.caption));
    button_->setVisible(visible_);
    QObject::connect(button_, &QPushButton::clicked, [this] {
        if (onClick) onClick();
    });
}

Button::~Button() {
    delete button_.data();
}

void Button::setZoom(double zoom) {
    placeZoomed(*button_, rect_, font_, zoom);
}

QWidget& Button::widget() {
    return *button_;
}

void Button::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    button_->setVisible(visible);
}

void Button::setAccessibleName(const std::string& name) {
    button_->setAccessibleName(QString::fromStdString(name));
}

void Button::click() {
    if (visible_ && onClick) onClick();
}

}  // namespace forms
