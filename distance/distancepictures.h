// SPDX-License-Identifier: GPL-3.0-or-later
// The formula pictures of the distance lesson, drawn as vector artwork.
#pragma once

#include "picture.h"

namespace distance {

// The general formula |AB| = sqrt(|OA|^2 + |OB|^2) with a true radical sign, 232 x 46.
forms::Picture generalFormulaPicture();

// An equals sign and a radical whose overline runs to the right edge, 334 x 47. The lesson
// lays the numbers of the worked example over it, under the overline, from x = 48.
forms::Picture radicalRowPicture();

}  // namespace distance
