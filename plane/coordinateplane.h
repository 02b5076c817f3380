// SPDX-License-Identifier: GPL-3.0-or-later
// The coordinate plane that the distance and slope lessons draw once, at start-up, into
// their canvas's persistent image: axes with arrowheads, tick dots, numbers and the
// letters "o", "x" and "y", for x from -2 to 13 and y from -3 to 8.
#pragma once

#include <functional>

#include "lineshape.h"

namespace forms {
class Canvas;
}

namespace plane {

// One of the four dotted projection lines, as both lessons lay them out at design time:
// hidden, upright, side by side at x twips inside the canvas.
forms::LineDesign projectionLine(const char* name, double x);

// Draws the plane. placeNameTags runs where the plane places the two name tags of the
// segment's ends (labels in one lesson, pictures in the other), with the pen at width 3.
// Afterwards the canvas draws persistently with pen width 3 and font size 9.
void drawCoordinatePlane(forms::Canvas& canvas, const std::function<void()>& placeNameTags);

}  // namespace plane
