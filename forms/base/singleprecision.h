// SPDX-License-Identifier: GPL-3.0-or-later
// Storing a double result into a single-precision property or drawing argument. Where the
// classic runtime would stop with an overflow error, the lessons saturate at the largest
// single instead, so a pointer dragged to an extreme place keeps the window working. A
// NaN stays NaN: whatever takes it draws nothing there.
// A position moved by a decimal such as 0.11 is summed in double precision, where the
// decimal lives, and rounded once here; adding the single nearest to the decimal instead
// would often land one step of the last digit off.
#pragma once

#include <cfloat>

namespace forms {

inline float toSingle(double value) {
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

}  // namespace forms
