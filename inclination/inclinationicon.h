// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "iconartwork.h"

namespace inclination {

// The program's icon: a line through a point of the x axis, its inclination angle
// marked by a red arc.
forms::IconArtwork lessonIcon();

}  // namespace inclination
