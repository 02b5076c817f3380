// SPDX-License-Identifier: GPL-3.0-or-later
// A line shape: a segment between two points in its surface's units. Its two ends are
// also where a lesson may keep a pair of points, so they hold exactly what was set.
#pragma once

#include <QColor>
#include <QList>

#include "color.h"
#include "control.h"

namespace forms {

enum class LineStyle { Solid, Dot, DashDot };

struct LineDesign {
    std::string name;
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    Color color = SystemColor::WindowText;
    LineStyle style = LineStyle::Solid;
    int width = 1;
    bool visible = true;
};

class LineShape : public Windowless {
public:
    LineShape(const LineDesign& design, Surface& surface);

    ControlKind kind() const override { return ControlKind::LineShape; }

    float x1() const { return x1_; }
    float y1() const { return y1_; }
    float x2() const { return x2_; }
    float y2() const { return y2_; }
    void setX1(float value) { setEnd(x1_, value); }
    void setY1(float value) { setEnd(y1_, value); }
    void setX2(float value) { setEnd(x2_, value); }
    void setY2(float value) { setEnd(y2_, value); }
    // Sets both ends at once, X1, Y1, X2, Y2 in this order as a lesson would.
    void setEnds(float x1, float y1, float x2, float y2);

    Color borderColor() const { return color_; }
    // A colour change repaints the line but erases no screen-only drawing.
    void setBorderColor(Color color);

    QRectF pixelBounds() const override;
    void paint(QPainter& painter) const override;
    void rescale(const UserScale& from, const UserScale& to) override;

private:
    void setEnd(float& end, float value);
    QList<qreal> dashPattern() const;
    void paintPatternAlongAxis(QPainter& painter, QPointF start, QPointF end, const QRectF& area,
                               const QColor& color) const;

    float x1_;
    float y1_;
    float x2_;
    float y2_;
    Color color_;
    LineStyle style_;
    int width_;
};

}  // namespace forms
