// SPDX-License-Identifier: GPL-3.0-or-later
#include "formwindow.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "image.h"
#include "pixelgeometry.h"

namespace forms {

FormWindow::FormWindow(QSize clientPixels, Color backColor)
    : scale_(UserScale::twips(QSizeF(clientPixels))), backColor_(backColor) {
    resize(clientPixels);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FormWindow::repaintArea(const QRectF& pixelRect, Erase) {
    const QRect area =
        coveringPixels(pixelRect, QRect(QPoint(-100000, -100000), QPoint(100000, 100000)));
    if (!area.isEmpty()) update(area);
}

void FormWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(event->rect(), toQColor(backColor_));
    layer_.paint(painter, event->rect());
}

Image* FormWindow::imageAt(QPointF point) const {
    for (Windowless* control : layer_.controls()) {
        auto* image = dynamic_cast<Image*>(control);
        if (image && image->isVisible() && image->onClick && image->pixelBounds().contains(point))
            return image;
    }
    return nullptr;
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton ? imageAt(event->position()) : nullptr;
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
    Image* image = pressed_;
    pressed_ = nullptr;
    if (image && event->button() == Qt::LeftButton && imageAt(event->position()) == image)
        image->click();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResized) onResized();
}

}  // namespace forms
