// SPDX-License-Identifier: GPL-3.0-or-later
#include "button.h"

#include <QPushButton>
#include <cmath>

namespace forms {

Button::Button(const ButtonDesign& design, QWidget& window)
    : Control(design.name), caption_(design.caption), visible_(design.visible) {
    button_ = new QPushButton(QString::fromStdString(design.caption), &window);
    button_->setObjectName(QString::fromStdString(design.name));
    button_->setFont(toQFont(design.font));
    button_->setGeometry(twipsToPixels(design.rect.left), twipsToPixels(design.rect.top),
                         twipsToPixels(design.rect.width), twipsToPixels(design.rect.height));
    button_->setAccessibleName(QString::fromStdString(design.caption));
    button_->setVisible(visible_);
    QObject::connect(button_, &QPushButton::clicked, [this] {
        if (onClick) onClick();
    });
}

Button::~Button() {
    delete button_.data();
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
