// SPDX-License-Identifier: GPL-3.0-or-later
#include "redrawmatch.h"

#include <QPainter>
#include <utility>

namespace forms {

bool RedrawMatch::begin() {
    Layer& persistent = layers_.persistent();
    if (!redrawing_ && !(persistent.replayable && !persistent.marks.empty())) return false;
    if (!redrawing_) redrawing_ = Redrawing{std::move(persistent.marks), 0};
    redrawing_->matched = 0;
    persistent = Layer{std::move(persistent.image), {}, true};
    // The same calls are likely to come again, as many.
    persistent.marks.reserve(redrawing_->before.size());
    checkInvariants();
    return true;
}

bool RedrawMatch::same(Mark& mark) {
    Q_ASSERT(!keptUnchanged_);
    Redrawing& redrawing = *redrawing_;
    if (redrawing.matched < redrawing.before.size() &&
        sameDrawing(redrawing.before[redrawing.matched], mark)) {
        // The picture already holds it, where the same call put it before the clear.
        ++redrawing.matched;
        layers_.setPersistentIsBlank(false);
        keptUnchanged_ = true;
        layers_.persistent().marks.push_back(std::move(mark));
        checkInvariants();
        return true;
    }
    return false;
}

QRegion RedrawMatch::settle(const QColor& backColor, const QRect& inner) {
    if (!redrawing_) return {};
    if (redrawing_->matched == redrawing_->before.size()) {
        redrawing_.reset();
        return {};
    }
    return diverge(backColor, inner);
}

// Calls that only add to the end of the picture clear nothing.
QRegion RedrawMatch::diverge(const QColor& backColor, const QRect& inner) {
    checkInvariants();
    const Redrawing redrawing = std::move(*redrawing_);
    redrawing_.reset();
    QRegion gone;
    bool text = false;
    for (std::size_t i = redrawing.matched; i < redrawing.before.size(); ++i) {
        gone += redrawing.before[i].reach;
        text = text || redrawing.before[i].op == DrawingOp::Print;
    }
    // Text may reach past its box (an italic's overhang): it goes with a clear of all.
    if (text) gone = inner.adjusted(-8, -8, 8, 8);
    if (gone.isEmpty()) return {};
    const double ratio = layers_.ratio();
    QRegion device;
    for (const QRect& part : gone) device += deviceArea(part, ratio);
    Layer& persistent = layers_.persistent();
    QPainter& painter = layers_.painterOn(persistent);
    painter.save();
    painter.resetTransform();
    painter.setClipRegion(device);
    for (const QRect& part : device) painter.fillRect(part, backColor);
    painter.scale(ratio, ratio);
    for (const Mark& mark : persistent.marks)
        if (gone.intersects(mark.reach)) layers_.paintMark(painter, mark);
    painter.restore();
    layers_.setPersistentIsBlank(persistent.marks.empty() && redrawing.matched == 0);
    return gone;
}

void RedrawMatch::checkInvariants() const {
    Q_ASSERT(!redrawing_ || redrawing_->matched <= redrawing_->before.size());
    Q_ASSERT(!redrawing_ || layers_.persistent().marks.size() == redrawing_->matched);
}

}  // namespace forms
