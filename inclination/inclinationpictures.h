// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the inclination lesson: the settings panel behind the coordinate
// system's text boxes.
#pragma once

#include "picture.h"

namespace inclination {

// A light-blue panel with a grey shadow on its right and bottom edges, headed
// "设置坐标系" in its top 36 pixels; 195 x 360.
forms::Picture panelPicture();

}  // namespace inclination
