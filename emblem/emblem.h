// SPDX-License-Identifier: GPL-3.0-or-later
// The emblem on each lesson's hint button: an open book with a star and two laurel
// sprigs above it, drawn in one ink on white.
#pragma once

#include <QColor>

#include "picture.h"

namespace emblem {

// The 58 x 58 emblem in the given ink, on white or, with Qt::transparent, on nothing.
forms::Picture picture(QColor ink, QColor paper = Qt::white);

}  // namespace emblem
