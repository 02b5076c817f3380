// SPDX-License-Identifier: GPL-3.0-or-later
#include "pointkeys.h"

#include "keystep.h"

namespace plane {

using namespace forms;

PointKeys::PointKeys(Canvas& canvas, const LineShape& points, std::array<std::string, 2> names)
    : canvas_(canvas), points_(points), names_(std::move(names)) {
    select(0);
    canvas_.keyHelp = {{"方向键", "把选中的点移动 0.1"},
                       {"Shift+方向键", "把选中的点移动 1"},
                       {"空格键", "换一个点（" + names_[0] + " 或 " + names_[1] + "）"}};
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
    const double step = key.shift & 1 ? 1.0 : 0.1;
    const float x = selected_ == 0 ? points_.x1() : points_.x2();
    const float y = selected_ == 0 ? points_.y1() : points_.y2();
    const auto to = arrowStep(key.keyCode, x, y, step, canvas_.scale());
    if (!to) return false;
    const auto [toX, toY] = *to;
    if (toX == x && toY == y) return true;
    canvas_.mouseDown(LeftButton, 0, x, y);
    canvas_.mouseMove(LeftButton, 0, toX, toY);
    canvas_.mouseUp(LeftButton, 0, toX, toY);
    return true;
}

}  // namespace plane
