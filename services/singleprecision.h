// SPDX-License-Identifier: GPL-3.0-or-later
// Storing a double result into a single-precision property. Where the classic runtime
// would stop with an overflow error, a lesson saturates at the largest single instead,
// so a pointer dragged to an extreme place keeps the window working.
#pragma once

#include <cfloat>
#include <cmath>

namespace forms {

inline float toSingle(double value) {
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

}  // namespace forms
