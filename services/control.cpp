// SPDX-License-Identifier: GPL-3.0-or-later
#include "control.h"

#include <QPainter>

namespace forms {

void Windowless::setVisible(bool visible) {
    if (visible_ == visible) return;
    change([&] { visible_ = visible; });
}

void Windowless::repaint(const QRectF& before, const QRectF& after, Erase erase) {
    if (!surface_) return;
    if (!before.isEmpty()) surface_->repaintArea(before, erase);
    if (!after.isEmpty() && after != before) surface_->repaintArea(after, erase);
}

void WindowlessLayer::paint(QPainter& painter, const QRectF& area) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        const Windowless& control = **it;
        if (control.isVisible() && control.pixelBounds().intersects(area)) control.paint(painter);
    }
}

void WindowlessLayer::rescale(const UserScale& from, const UserScale& to) {
    for (Windowless* control : controls_) control->rescale(from, to);
}

}  // namespace forms
