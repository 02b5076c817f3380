// SPDX-License-Identifier: GPL-3.0-or-later
#include "imagekeytarget.h"

#include <QKeyEvent>
#include <QPainter>

#include "image.h"

namespace forms {

namespace {

// The frame lies just outside the picture, so the picture itself stays untouched.
constexpr int kFrameMargin = 2;

}  // namespace

ImageKeyTarget::ImageKeyTarget(Image& image, QWidget& window) : QWidget(&window), image_(image) {
    setObjectName(QString::fromStdString(image.name()));
    setAccessibleName(QString::fromStdString(image.accessibleName()));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::TabFocus);
    follow();
}

void ImageKeyTarget::follow() {
    const QRect picture = image_.pixelBounds().toAlignedRect();
    setGeometry(picture.adjusted(-kFrameMargin, -kFrameMargin, kFrameMargin, kFrameMargin));
    setVisible(image_.isVisible());
}

void ImageKeyTarget::paintEvent(QPaintEvent*) {
    if (!hasFocus()) return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), 1, Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ImageKeyTarget::keyPressEvent(QKeyEvent* event) {
    const bool activates = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
                           event->key() == Qt::Key_Enter;
    if (!activates || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) image_.click();
}

void ImageKeyTarget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void ImageKeyTarget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace forms
