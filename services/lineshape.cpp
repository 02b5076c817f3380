#include "lineshape.h"

#include <QPainter>
#include <QPen>

#include "pixelgeometry.h"

namespace forms {

LineShape::LineShape(const LineDesign& design, Surface& surface)
    : Windowless(design.name),
      x1_(float(design.x1)),
      y1_(float(design.y1)),
      x2_(float(design.x2)),
      y2_(float(design.y2)),
      color_(design.color),
      style_(design.style),
      width_(design.width) {
    attachTo(surface);
    if (!design.visible) Windowless::setVisible(false);
}

void LineShape::setEnd(float& end, float value) {
    if (end == value) return;
    change([&] { end = value; });
}

void LineShape::setEnds(float x1, float y1, float x2, float y2) {
    setX1(x1);
    setY1(y1);
    setX2(x2);
    setY2(y2);
}

void LineShape::setBorderColor(Color color) {
    if (color_ == color) return;
    change([&] { color_ = color; }, Erase::Nothing);
}

QRectF LineShape::pixelBounds() const {
    return segmentBounds(scale().toPixels(x1_, y1_), scale().toPixels(x2_, y2_), width_);
}

void LineShape::paint(QPainter& painter) const {
    // Clip against the whole surface, not the repainted area, so a dotted line keeps
    // the same dot phase however it is repainted.
    const QRectF visible = QRectF(QPointF(0, 0), scale().pixelSize()).adjusted(-8, -8, 8, 8);
    const auto segment =
        clipSegment(scale().toPixels(x1_, y1_), scale().toPixels(x2_, y2_), visible);
    if (!segment) return;
    QPen pen(toQColor(color_), width_);
    pen.setCapStyle(style_ == LineStyle::Solid ? Qt::RoundCap : Qt::FlatCap);
    if (style_ == LineStyle::Dot) pen.setDashPattern({1, 1});
    if (style_ == LineStyle::DashDot) pen.setDashPattern({4, 2, 1, 2});
    painter.setPen(pen);
    painter.drawLine(
        QPointF(snapToPixelGrid(segment->x1(), width_), snapToPixelGrid(segment->y1(), width_)),
        QPointF(snapToPixelGrid(segment->x2(), width_), snapToPixelGrid(segment->y2(), width_)));
}

void LineShape::rescale(const UserScale& from, const UserScale& to) {
    const QPointF a = to.toUser(from.toPixels(x1_, y1_));
    const QPointF b = to.toUser(from.toPixels(x2_, y2_));
    x1_ = float(a.x());
    y1_ = float(a.y());
    x2_ = float(b.x());
    y2_ = float(b.y());
}

}  // namespace forms
