// SPDX-License-Identifier: GPL-3.0-or-later
#include "formwindow.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "image.h"
#include "pixelgeometry.h"

namespace forms {

FormWindow::FormWindow(QSize clientPixels, Color backColor)
    : designSize_(clientPixels),
      scale_(UserScale::twips(QSizeF(clientPixels))),
      backColor_(backColor) {
    resize(clientPixels);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FormWindow::setZoom(double zoom) {
    if (zoom_ == zoom) return;
    zoom_ = zoom;
    update();
}

void FormWindow::repaintArea(const QRectF& pixelRect, Erase, std::vector<QRectF> pieces) {
    const auto zoomed = [this](const QRectF& part) {
        const QRect area =
            coveringPixels(part, QRect(QPoint(-100000, -100000), QPoint(100000, 100000)));
        if (area.isEmpty()) return QRect();
        return QRectF(QPointF(area.topLeft()) * zoom_, QSizeF(area.size()) * zoom_)
            .toAlignedRect()
            .adjusted(-1, -1, 1, 1);
    };
    const auto repaint = [this](const QRect& area) {
        if (area.isEmpty()) return;
        if (const QRect joined = pending_.add(area); !joined.isEmpty())
            RepaintBatch::update(*this, joined);
    };
    const QRect whole = zoomed(pixelRect);
    if (pieces.empty() || !worthPieces(whole)) {
        repaint(whole);
        return;
    }
    for (const QRectF& piece : pieces) repaint(zoomed(piece));
}

void FormWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // One rectangle at a time, as the canvas does: a clip of many sends every row through
    // span functions handed to worker threads.
    for (const QRect& rect : pending_.take(event->region())) {
        painter.save();
        painter.setClipRect(rect);
        painter.fillRect(rect, toQColor(backColor_));
        painter.scale(zoom_, zoom_);
        const QRectF area = QRectF(rect);
        layer_.paint(painter,
                     QRectF(area.topLeft() / zoom_, area.size() / zoom_).adjusted(-1, -1, 1, 1));
        painter.restore();
    }
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
    pressed_ = event->button() == Qt::LeftButton ? imageAt(event->position() / zoom_) : nullptr;
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
    Image* image = pressed_;
    pressed_ = nullptr;
    if (image && event->button() == Qt::LeftButton && imageAt(event->position() / zoom_) == image)
        image->click();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResized) onResized();
}

}  // namespace forms
