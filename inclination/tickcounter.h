// SPDX-License-Identifier: GPL-3.0-or-later
// The places of the tick marks along one axis. The marks are counted out from the origin
// by repeated addition of the step, and rounding makes each sum drift a little from the
// exact multiple; the places below are those sums, found without walking the whole way
// when the visible part of the axis lies far from the origin.
#pragma once

#include <vector>

namespace inclination {

// The values that the counter of `for (double i = 0; i <= bound; i += step)` takes within
// [from, to], in order, each exactly as the repeated addition produces it. The counting
// stops where adding the step no longer changes the counter. A step that is not positive
// gives no values.
std::vector<double> countedTicks(double step, double bound, double from, double to);

}  // namespace inclination
