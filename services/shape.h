// A shape control; the lessons use only the filled circle, drawn with the classic
// one-pixel border inside the smaller side of its box.
#pragma once

#include <QImage>

#include "color.h"
#include "control.h"

namespace forms {

struct ShapeDesign {
    std::string name;
    TwipsRect rect;
    Color fillColor = kRed;
    Color borderColor = SystemColor::WindowText;
    bool visible = true;
};

class Shape : public Windowless {
public:
    Shape(const ShapeDesign& design, Surface& surface);

    ControlKind kind() const override { return ControlKind::Shape; }

    float left() const { return left_; }
    void setLeft(float left);
    float top() const { return top_; }
    void setTop(float top);

    QRectF pixelBounds() const override;
    void paint(QPainter& painter) const override;
    void rescale(const UserScale& from, const UserScale& to) override;

private:
    // The circle drawn once per size and pixel ratio: markers repaint at every drag step.
    mutable QImage rendered_;
    Color fillColor_;
    Color borderColor_;
    float left_;
    float top_;
    float width_;
    float height_;
};

}  // namespace forms
