// SPDX-License-Identifier: GPL-3.0-or-later
#include "control.h"

#include <QPainter>

namespace forms {

void Windowless::setVisible(bool visible) {
    if (visible_ == visible) return;
    change([&] { visible_ = visible; });
}

void Windowless::repaint(const Painted& before, const Painted& after, Erase erase) {
    if (!surface_) return;
    if (!before.bounds.isEmpty()) surface_->repaintArea(before.bounds, erase, before.pieces);
    // Two lines can share their bounds, one on each diagonal: the pieces tell them apart.
    if (!after.bounds.isEmpty() && after != before)
        surface_->repaintArea(after.bounds, erase, after.pieces);
}

void WindowlessLayer::paint(QPainter& painter, const QRectF& area) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        const Windowless& control = **it;
        if (control.isVisible() && control.paintsInto(area)) control.paint(painter);
    }
}

void WindowlessLayer::rescale(const UserScale& from, const UserScale& to) {
    for (Windowless* control : controls_) control->rescale(from, to);
}

}  // namespace forms
