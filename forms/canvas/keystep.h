// SPDX-License-Identifier: GPL-3.0-or-later
// One arrow-key step of a point in user units: to the next mark of the step's grid in the
// key's direction, so that steps of a tenth land on tenths and steps of one on whole
// numbers, and never out over the canvas's edge.
#pragma once

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "canvas.h"
#include "userscale.h"

namespace forms {

// The next multiple of step (a tenth or more) beyond value in the direction (+1 or -1).
// The multiples are counted in tenths so that 1.1 + 0.1 gives exactly the single nearest
// to 1.2, not 1.2000000477 plus a rounding step.
inline double nextOnGrid(double value, int direction, double step) {
    const double tenths = std::round(step * 10);
    const double at = value * 10 / tenths;
    // A value a hair beside a mark counts as on it; single precision is that coarse.
    constexpr double kSlack = 1e-4;
    const double mark = direction > 0 ? std::floor(at + kSlack) + 1 : std::ceil(at - kSlack) - 1;
    return mark * tenths / 10;
}

// The step's target kept within [low, high]; a point already beyond the edge does not
// jump back over the canvas.
inline double stepWithin(double value, int direction, double step, double low, double high) {
    const double target = nextOnGrid(value, direction, step);
    if (direction > 0) return target > high ? std::max(value, high) : target;
    return target < low ? std::min(value, low) : target;
}

// The user extent of a scale along x or y, low end first.
inline std::pair<double, double> xExtent(const UserScale& scale) {
    return std::minmax(scale.left(), scale.left() + scale.width());
}
inline std::pair<double, double> yExtent(const UserScale& scale) {
    return std::minmax(scale.top(), scale.top() + scale.height());
}

// Where an arrow key moves a point at (x, y) by one step, kept on the canvas of the given
// scale; nothing for a key that is no arrow.
inline std::optional<std::pair<float, float>> arrowStep(int keyCode, float x, float y, double step,
                                                        const UserScale& scale) {
    int dx = 0, dy = 0;
    switch (keyCode) {
        case KeyLeft:
            dx = -1;
            break;
        case KeyRight:
            dx = 1;
            break;
        case KeyUp:
            dy = 1;
            break;
        case KeyDown:
            dy = -1;
            break;
        default:
            return std::nullopt;
    }
    const auto [left, right] = xExtent(scale);
    const auto [bottom, top] = yExtent(scale);
    return std::pair{dx ? float(stepWithin(x, dx, step, left, right)) : x,
                     dy ? float(stepWithin(y, dy, step, bottom, top)) : y};
}

}  // namespace forms
