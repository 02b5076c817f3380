// A label: one line of text, auto-sized to its caption by default. Unlike the classic
// control it never wraps; a fixed-size label clips its text to its box.
#pragma once

#include <QFont>
#include <QImage>

#include "color.h"
#include "control.h"
#include "fonts.h"

namespace forms {

struct LabelDesign {
    std::string name;
    TwipsRect rect;
    std::string caption;
    FontSpec font{"Times New Roman", 15};
    Color foreColor = SystemColor::WindowText;
    Color backColor = SystemColor::Window;
    bool autoSize = true;
    bool visible = true;
    // A transparent label shows the surface behind its text instead of its back colour.
    bool transparent = false;
};

class Label : public Windowless {
public:
    // The rectangle is in the surface's current units.
    Label(const LabelDesign& design, Surface& surface);

    ControlKind kind() const override { return ControlKind::Label; }

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    float left() const { return left_; }
    void setLeft(float left);
    float top() const { return top_; }
    void setTop(float top);
    // Read back after a caption change: an auto-sized label takes its text's width.
    float width() const { return width_; }
    float height() const { return height_; }
    Color foreColor() const { return foreColor_; }

    QRectF pixelBounds() const override;
    void paint(QPainter& painter) const override;
    void rescale(const UserScale& from, const UserScale& to) override;

private:
    void fitToCaption();

    std::string caption_;
    QFont font_;
    Color foreColor_;
    Color backColor_;
    bool autoSize_;
    bool transparent_;
    float left_;
    float top_;
    float width_;
    float height_;
    double ascent_ = 0;
    // The label as last drawn; text is costly to draw, and labels repaint at every step.
    mutable QImage rendered_;
};

}  // namespace forms
