// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the slope lesson: the slope formula and the tags that name the two
// points and their coordinates, drawn as vector artwork.
#pragma once

#include "picture.h"

namespace slope {

// k = (y2 - y1) / (x2 - x1) as a built-up fraction, the numerator in red and the
// denominator in blue, followed by the condition (x1 != x2); 253 x 82.
forms::Picture slopeFormulaPicture();

// Tags of a black italic letter with a subscript digit, each at its own fixed size.
forms::Picture x1Picture();  // x1, 13 x 16
forms::Picture x2Picture();  // x2, 16 x 16
forms::Picture y1Picture();  // y1, 14 x 14
forms::Picture y2Picture();  // y2, 15 x 13
forms::Picture p1Picture();  // P1, 11 x 17
forms::Picture p2Picture();  // P2, 13 x 19

}  // namespace slope
