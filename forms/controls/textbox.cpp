// SPDX-License-Identifier: GPL-3.0-or-later
#include "textbox.h"

#include <QLineEdit>
#include <cmath>

#include "zoom.h"

namespace forms {

TextBox::TextBox(const TextBoxDesign& design, QWidget& window)
    : Control(design.name), rect_(design.rect), font_(design.font) {
    edit_ = new QLineEdit(QString::fromStdString(design.text), &window);
    edit_->setObjectName(QString::fromStdString(design.name));
    edit_->setFont(toQFont(design.font));
    placeZoomed(*edit_, design.rect, design.font, 1);
    QObject::connect(edit_, &QLineEdit::returnPressed, [this] {
        if (onEnter) onEnter();
    });
}

TextBox::~TextBox() {
    delete edit_.data();
}

void TextBox::setZoom(double zoom) {
    placeZoomed(*edit_, rect_, font_, zoom);
}

QWidget& TextBox::widget() {
    return *edit_;
}

void TextBox::setAccessibleName(const std::string& name) {
    edit_->setAccessibleName(QString::fromStdString(name));
}

std::string TextBox::text() const {
    return edit_->text().toStdString();
}

void TextBox::setText(const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (edit_->text() == value) return;
    edit_->setText(value);
}

}  // namespace forms
