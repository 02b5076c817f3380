// SPDX-License-Identifier: GPL-3.0-or-later
#include "coordinateplane.h"

#include "canvas.h"
#include "numbertext.h"

namespace plane {

namespace {

constexpr double kNumberFontSize = 9;
constexpr double kLetterFontSize = 16;

void printNumber(forms::Canvas& canvas, int value) {
    canvas.print(forms::printText(static_cast<float>(value)));
}

// Moves the print position. A white point there would do the same but leave specks on
// the light grey canvas.
void moveTo(forms::Canvas& canvas, double x, double y) {
    canvas.setCurrentX(x);
    canvas.setCurrentY(y);
}

}  // namespace

forms::LineDesign projectionLine(const char* name, double x) {
    return {.name = name,
            .x1 = x,
            .y1 = 3240,
            .x2 = x,
            .y2 = 4680,
            .style = forms::LineStyle::Dot,
            .visible = false};
}

void drawCoordinatePlane(forms::Canvas& canvas, const std::function<void()>& placeNameTags) {
    canvas.setAutoRedraw(true);

    canvas.setDrawWidth(2);
    canvas.line(-1.8, 0, 12.8, 0);
    canvas.line(12.5, -0.1, 12.8, 0);
    canvas.line(12.5, 0.1, 12.8, 0);
    canvas.line(0, -2.8, 0, 7.8);
    canvas.line(0.1, 7.5, 0, 7.8);
    canvas.line(-0.1, 7.5, 0, 7.8);

    canvas.setDrawWidth(3);
    if (placeNameTags) placeNameTags();

    for (int i = -1; i <= 12; ++i) {
        canvas.pset(i, 0);
        canvas.setDrawWidth(1);
        moveTo(canvas, i - 0.2, -0.1);
        canvas.setDrawWidth(3);
        if (i != 0) printNumber(canvas, i);
    }

    for (int i = -2; i <= 7; ++i) {
        canvas.pset(0, i);
        if (i != 0) printNumber(canvas, i);
        canvas.setFontSize(kLetterFontSize);
        if (i == 0) canvas.print("o");
        canvas.setFontSize(kNumberFontSize);
    }

    canvas.setFontSize(kLetterFontSize);
    moveTo(canvas, 0.2, 7.8);
    canvas.print("y");
    moveTo(canvas, 12.6, -0.1);
    canvas.print("x");
    canvas.setFontSize(kNumberFontSize);
}

}  // namespace plane
