// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvasinput.h"

#include <QPainter>
#include <QTransform>
#include <cmath>
#include <optional>

#include "canvas.h"
#include "canvasview.h"

namespace forms {

void CanvasInput::mouseDown(int button, int shift, float x, float y) {
    heldButtons_ |= button;
    if (canvas_.onMouseDown) canvas_.onMouseDown({button, shift, x, y});
    canvas_.view_->refreshKeyMark();
    if (canvas_.afterInput && keyDepth_ == 0) canvas_.afterInput(false);
}

void CanvasInput::mouseMove(int buttons, int shift, float x, float y) {
    if (canvas_.onMouseMove) canvas_.onMouseMove({buttons, shift, x, y});
    canvas_.view_->refreshKeyMark();
    if (canvas_.afterInput && keyDepth_ == 0) canvas_.afterInput(false);
}

void CanvasInput::mouseUp(int button) {
    heldButtons_ &= ~button;
    if (canvas_.afterInput && keyDepth_ == 0) canvas_.afterInput(true);
}

bool CanvasInput::keyDown(int keyCode, int shift, bool repeat) {
    ++keyDepth_;
    const bool used = canvas_.onKeyDown && canvas_.onKeyDown({keyCode, shift, repeat});
    --keyDepth_;
    canvas_.view_->refreshKeyMark();
    if (used && canvas_.afterInput) canvas_.afterInput(!repeat);
    return used;
}

void CanvasInput::keyUp(int keyCode, int shift, bool repeat) {
    if (canvas_.onKeyUp) canvas_.onKeyUp({keyCode, shift, repeat});
    if (canvas_.afterInput && !repeat) canvas_.afterInput(true);
}

namespace {

// The marks in the canvas's pixels at zoom 1; the pens are centred on the outline.
constexpr double kRingRadius = 9;
constexpr double kRingPen = 2;
constexpr double kCrossArm = 5;
constexpr double kCrossPen = 1;

// How far from its centre a mark's ink reaches, in the canvas's pixels at zoom 1: half the
// pen beyond the outline, and beyond an arm's end too, for the pen's square cap.
double keyMarkReach(KeyMarkShape shape) {
    return shape == KeyMarkShape::Ring ? kRingRadius + kRingPen / 2 : kCrossArm + kCrossPen / 2;
}

}  // namespace

QRect CanvasInput::keyMarkRect(const QTransform& toView, const QRect& within) const {
    if (!canvas_.keyMark) return {};
    const std::optional<KeyMark> mark = canvas_.keyMark();
    if (!mark) return {};
    const QPointF centre = canvas_.scale().toPixels(mark->x, mark->y);
    const double reach = keyMarkReach(mark->shape);
    // Mapped as the paint maps it. A far-away point has no mark to show, and its huge
    // coordinates must not reach the integer rectangle.
    const QRectF drawn =
        toView.mapRect(QRectF(centre - QPointF(reach, reach), centre + QPointF(reach, reach)));
    if (!std::isfinite(centre.x()) || !std::isfinite(centre.y()) ||
        !drawn.intersects(QRectF(within)))
        return {};
    // Antialiasing may tint the pixel beyond the last one the outline touches.
    return drawn.toAlignedRect().adjusted(-1, -1, 1, 1);
}

void CanvasInput::paintKeyMark(QPainter& painter, const QColor& ink) const {
    const std::optional<KeyMark> mark = canvas_.keyMark ? canvas_.keyMark() : std::nullopt;
    if (!mark) return;
    const QPointF centre = canvas_.scale().toPixels(mark->x, mark->y);
    painter.setRenderHint(QPainter::Antialiasing);
    if (mark->shape == KeyMarkShape::Ring) {
        painter.setPen(QPen(ink, kRingPen));
        painter.drawEllipse(centre, kRingRadius, kRingRadius);
    } else {
        painter.setPen(QPen(ink, kCrossPen));
        painter.drawLine(centre - QPointF(kCrossArm, 0), centre + QPointF(kCrossArm, 0));
        painter.drawLine(centre - QPointF(0, kCrossArm), centre + QPointF(0, kCrossArm));
    }
}

}  // namespace forms
