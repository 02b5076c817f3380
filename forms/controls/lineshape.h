// SPDX-License-Identifier: GPL-3.0-or-later
// A line shape: a segment between two points in its surface's units. Its two ends are
// also where a lesson may keep a pair of points, so they hold exactly what was set. Each
// end keeps its place on the screen through any change of its surface's scale: a
// coordinate is kept as set, with the axis it was set against, and read against another
// axis through that place, so a scale too fine or too coarse for single precision and a
// return from it leave the line exactly where it was.
#pragma once

#include <QBrush>
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

    float x1() const { return x1_.in(scale().xAxis()); }
    float y1() const { return y1_.in(scale().yAxis()); }
    float x2() const { return x2_.in(scale().xAxis()); }
    float y2() const { return y2_.in(scale().yAxis()); }
    void setX1(float value) { setEnd(x1_, value, scale().xAxis()); }
    void setY1(float value) { setEnd(y1_, value, scale().yAxis()); }
    void setX2(float value) { setEnd(x2_, value, scale().xAxis()); }
    void setY2(float value) { setEnd(y2_, value, scale().yAxis()); }
    // Sets both ends at once, X1, Y1, X2, Y2 in this order as a lesson would.
    void setEnds(float x1, float y1, float x2, float y2);

    Color borderColor() const { return color_; }
    // A colour change repaints the line but erases no screen-only drawing.
    void setBorderColor(Color color);

    QRectF pixelBounds() const override;
    std::vector<QRectF> paintedPieces() const override;
    bool paintsInto(const QRectF& area) const override;
    void paint(QPainter& painter) const override;
    void rescale(const UserScale& from, const UserScale& to) override;

private:
    class Coordinate {
    public:
        Coordinate(float value, const ScaleAxis& axis) : value_(value), axis_(axis) {}
        float in(const ScaleAxis& axis) const;
        double pixel() const { return axis_.toPixels(value_); }
        bool is(float value, const ScaleAxis& axis) const {
            return value_ == value && axis_ == axis;
        }

    private:
        float value_;
        ScaleAxis axis_;
    };

    void setEnd(Coordinate& end, float value, const ScaleAxis& axis);
    QPointF start() const { return {x1_.pixel(), y1_.pixel()}; }
    QPointF finish() const { return {x2_.pixel(), y2_.pixel()}; }
    QRectF drawnArea() const;
    QList<qreal> dashPattern() const;
    void paintPatternAlongAxis(QPainter& painter, QPointF start, QPointF end, const QRectF& area,
                               const QColor& color) const;

    Coordinate x1_;
    Coordinate y1_;
    Coordinate x2_;
    Coordinate y2_;
    Color color_;
    LineStyle style_;
    int width_;
    static void fillInBands(QPainter& painter, const QRectF& fill, const QBrush& brush);
    struct TileKey {
        double ratio = 0;
        bool horizontal = false;
        bool backwards = false;
        QColor color;
        bool operator==(const TileKey&) const = default;
    };
    void drawStrip(QPainter& painter, const QImage& tile, const QRect& fill, QPointF origin,
                   bool horizontal) const;
    mutable TileKey tileKey_;
    mutable QBrush tile_;
    // The tile repeated along the line, as long as the longest part drawn so far and one
    // period more: copied from, in device pixels, where filling with the tile is slower.
    mutable QImage strip_;
};

}  // namespace forms
