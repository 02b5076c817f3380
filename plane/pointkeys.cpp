// SPDX-License-Identifier: GPL-3.0-or-later
#include "pointkeys.h"

#include "keystep.h"

namespace plane {

using namespace forms;

PointKeys::PointKeys(Canvas& canvas, const LineShape& points, std::array<std::string, 2> names)
    : canvas_(canvas), points_(points), names_(std::move(names)) {
    select(0);
}

void PointKeys::select(int which) {
    selected_ = which;
    canvas_.setAccessibleDescription("选中点 " + names_[size_t(which)] +
                                     "。方向键移动 0.1，Shift 加方向键移动 1，空格键换点");
}

std::optional<KeyMark> PointKeys::mark() const {
    return selected_ == 0 ? KeyMark{KeyMarkShape::Ring, points_.x1(), points_.y1()}
                          : KeyMark{KeyMarkShape::Ring, points_.x2(), points_.y2()};
}

bool PointKeys::keyDown(const KeyEvent& key) {
    if (key.keyCode == KeySpace) {
        if (!key.repeat) select(1 - selected_);
        return true;
    }
    int dx = 0, dy = 0;
    switch (key.keyCode) {
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
            return false;
    }
    const double step = key.shift & 1 ? 1.0 : 0.1;
    const float x = selected_ == 0 ? points_.x1() : points_.x2();
    const float y = selected_ == 0 ? points_.y1() : points_.y2();
    const auto [left, right] = xExtent(canvas_.scale());
    const auto [bottom, top] = yExtent(canvas_.scale());
    const float toX = dx ? float(stepWithin(x, dx, step, left, right)) : x;
    const float toY = dy ? float(stepWithin(y, dy, step, bottom, top)) : y;
    if (toX == x && toY == y) return true;
    canvas_.mouseDown(LeftButton, 0, x, y);
    canvas_.mouseMove(LeftButton, 0, toX, toY);
    canvas_.mouseUp(LeftButton, 0, toX, toY);
    return true;
}

}  // namespace plane
