// SPDX-License-Identifier: GPL-3.0-or-later
// An image control: a picture shown at its own size (15 twips a pixel), never
// stretched. A click is delivered when a press and its release both fall on it.
#pragma once

#include <functional>

#include "control.h"
#include "picture.h"

namespace forms {

struct ImageDesign {
    std::string name;
    double left = 0;
    double top = 0;
    Picture picture;
    bool visible = true;
    // What a screen reader calls the picture, e.g. "提示" for a hint button.
    std::string accessibleName;
};

class Image : public Windowless {
public:
    Image(const ImageDesign& design, Surface& surface);

    ControlKind kind() const override { return ControlKind::Image; }

    float left() const { return left_; }
    void setLeft(float left);
    float top() const { return top_; }
    void setTop(float top);
    const Picture& picture() const { return picture_; }
    const std::string& accessibleName() const { return accessibleName_; }

    std::function<void()> onClick;
    void click();

    QRectF pixelBounds() const override;
    void paint(QPainter& painter) const override;
    void rescale(const UserScale& from, const UserScale& to) override;

private:
    Picture picture_;
    std::string accessibleName_;
    float left_;
    float top_;
};

}  // namespace forms
