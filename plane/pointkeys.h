// SPDX-License-Identifier: GPL-3.0-or-later
// The keys of a plane lesson whose figure hangs on two points kept in one line control.
// While the canvas has the focus one point is selected, the first at start-up; Space
// selects the other, and a ring marks it. An arrow steps it a tenth of a unit, with Shift
// a whole unit. A step is the mouse's own: a left press at the point, a left-button move
// to the new place and the release, through the canvas, so the lesson cannot tell them
// apart and its nearer-point rule applies as to a drag.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "canvas.h"
#include "lineshape.h"

namespace plane {

class PointKeys {
public:
    // names: how a screen reader calls the two points, e.g. "A" and "B".
    PointKeys(forms::Canvas& canvas, const forms::LineShape& points,
              std::array<std::string, 2> names);

    bool keyDown(const forms::KeyEvent& key);
    int selected() const { return selected_; }
    std::optional<forms::KeyMark> mark() const;

private:
    void select(int which);

    forms::Canvas& canvas_;
    const forms::LineShape& points_;
    std::array<std::string, 2> names_;
    int selected_ = 0;
};

}  // namespace plane
