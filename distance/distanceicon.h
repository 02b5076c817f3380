// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "iconartwork.h"

namespace distance {

// The program's icon: the segment AB with the dotted legs of its right-angle corner O.
forms::IconArtwork lessonIcon();

}  // namespace distance
