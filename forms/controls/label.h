// SPDX-License-Identifier: GPL-3.0-or-later
// A label: one line of text, auto-sized to its caption by default. Unlike the classic
// control it never wraps; a fixed-size label clips its text to its box.
#pragma once

#include <QFont>

#include "boxcontrol.h"
#include "color.h"
#include "fonts.h"
#include "shapedtext.h"

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

class Label : public BoxControl {
public:
    // The rectangle is in the surface's current units.
    Label(const LabelDesign& design, Surface& surface);

    ControlKind kind() const override { return ControlKind::Label; }

    const std::string& caption() const { return caption_; }
    // An auto-sized label takes its text's width, read back through width().
    void setCaption(std::string caption);
    Color foreColor() const { return foreColor_; }

protected:
    void render(QImage& image, QSizeF size) const override;
    bool opaque() const override;

private:
    void fitToCaption();

    std::string caption_;
    QFont font_;
    Color foreColor_;
    Color backColor_;
    bool autoSize_;
    bool transparent_;
    LineBox line_;
    TextShaper shaper_;
    ShapedLine text_;
};

}  // namespace forms
