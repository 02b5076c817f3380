// SPDX-License-Identifier: GPL-3.0-or-later
// A windowless control that occupies a box (left, top, width, height in its surface's
// units) and draws the same picture until it is told otherwise: labels and shapes. The
// drawing is kept as an image per size and pixel ratio, since these controls repaint at
// every drag step while their look changes far less often.
#pragma once

#include <QImage>
#include <functional>
#include <vector>

#include "control.h"

namespace forms {

class BoxControl : public Windowless {
public:
    BoxControl(std::string name, const TwipsRect& rect, Surface& surface, bool visible);

    float left() const { return left_; }
    void setLeft(float left);
    float top() const { return top_; }
    void setTop(float top);
    float width() const { return width_; }
    float height() const { return height_; }

    QRectF pixelBounds() const override;
    void paint(QPainter& painter) const override;
    void rescale(const UserScale& from, const UserScale& to) override;

protected:
    // Makes the kept image's picture, over (0, 0)-(size) in logical pixels of a transparent
    // image; by default through a painter and draw().
    virtual void render(QImage& image, QSizeF size) const;
    virtual void draw(QPainter&, QSizeF) const {}
    // Whether render() covers every pixel in an opaque colour: the image is then made
    // without alpha, and copied to the screen where it would otherwise be blended.
    virtual bool opaque() const { return false; }
    // The look changed: the next paint draws afresh.
    void forgetDrawing() { drawing_ = QImage(); }
    void setSize(float width, float height);

private:
    float left_;
    float top_;
    float width_;
    float height_;
    // The memory the drawing lies in, kept through changes of size: a readout whose width
    // changes at every drag step would otherwise take fresh pages from the system for a
    // large image at each step. Declared first, so that it outlives the image on it.
    mutable std::vector<uchar> drawingMemory_;
    mutable QImage drawing_;
};

}  // namespace forms
