// SPDX-License-Identifier: GPL-3.0-or-later
// A shape control; the lessons use only the filled circle, drawn with the classic
// one-pixel border inside the smaller side of its box.
#pragma once

#include "boxcontrol.h"
#include "color.h"

namespace forms {

struct ShapeDesign {
    std::string name;
    TwipsRect rect;
    Color fillColor = kRed;
    Color borderColor = SystemColor::WindowText;
    bool visible = true;
};

class Shape : public BoxControl {
public:
    Shape(const ShapeDesign& design, Surface& surface);

    ControlKind kind() const override { return ControlKind::Shape; }

protected:
    void draw(QPainter& painter, QSizeF size) const override;

private:
    Color fillColor_;
    Color borderColor_;
};

}  // namespace forms
