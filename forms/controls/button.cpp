// SPDX-License-Identifier: GPL-3.0-or-later
#include "button.h"

#include <QKeyEvent>
#include <QPushButton>
#include <cmath>

#include "zoom.h"

namespace forms {

namespace {

// Outside a dialog Qt's push button ignores Enter. Here Enter and the keypad's Enter do
// what Space does: down at the press, a click at the release, none on auto-repeat.
class PushButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!isEnter(*event)) return QPushButton::keyPressEvent(event);
        QKeyEvent space = asSpace(*event);
        QPushButton::keyPressEvent(&space);
        event->setAccepted(space.isAccepted());
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        if (!isEnter(*event)) return QPushButton::keyReleaseEvent(event);
        QKeyEvent space = asSpace(*event);
        QPushButton::keyReleaseEvent(&space);
        event->setAccepted(space.isAccepted());
    }

private:
    static bool isEnter(const QKeyEvent& event) {
        return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
               (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    }
    static QKeyEvent asSpace(const QKeyEvent& event) {
        return QKeyEvent(event.type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                         event.isAutoRepeat(), ushort(event.count()));
    }
};

}  // namespace

Button::Button(const ButtonDesign& design, QWidget& window)
    : Control(design.name),
      rect_(design.rect),
      font_(design.font),
      caption_(design.caption),
      visible_(design.visible),
      isDefault_(design.isDefault) {
    button_ = new PushButton(QString::fromStdString(design.caption), &window);
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
