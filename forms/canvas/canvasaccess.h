// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader hears of a canvas: its name and description, held by its widget
// where Qt's accessibility reads them, and what the lesson says the figure shows (e.g.
// where the keyboard's pointer is), asked whenever the canvas is read. The access floor
// announces a change of that state, as it does a control's text.
#pragma once

#include <string>

namespace forms {

class Canvas;

class CanvasAccess {
public:
    explicit CanvasAccess(Canvas& canvas) : canvas_(canvas) {}

    void setName(const std::string& name);
    void setDescription(const std::string& description);
    // Empty when the lesson says nothing.
    std::string state() const;

private:
    // Nothing is kept here: the name and description live on the widget, the state is
    // asked anew each time, so that what is read is never older than the figure.
    Canvas& canvas_;
};

}  // namespace forms
