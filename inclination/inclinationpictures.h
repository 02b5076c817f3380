// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the inclination lesson: the settings panel behind the coordinate
// system's text boxes, and the folder icon of its open command.
#pragma once

#include <QIcon>

#include "picture.h"

namespace inclination {

// A light-blue panel with a grey shadow on its right and bottom edges, headed
// "设置坐标系" in its top 36 pixels; 195 x 360.
forms::Picture panelPicture();

// A closed blue-violet folder at 16 x 16 and 32 x 32, on a transparent background. Its
// pixmaps need the running application, so call it only once that exists.
QIcon folderIcon();

// The 32 x 32 folder as vector artwork, for the program's icons at larger sizes.
forms::Picture folderPicture();

}  // namespace inclination
