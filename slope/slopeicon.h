// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "iconartwork.h"

namespace slope {

// The program's icon: a line through P1 and P2 over its slope triangle, the run in blue
// and the rise in red.
forms::IconArtwork lessonIcon();

}  // namespace slope
