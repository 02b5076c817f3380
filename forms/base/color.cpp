// SPDX-License-Identifier: GPL-3.0-or-later
#include "color.h"

namespace forms {

namespace {

QColor systemColor(unsigned index) {
    switch (index) {
        case 4:   // menu bar
        case 15:  // button face
            return QColor(0xF0, 0xF0, 0xF0);
        case 5:  // window background
            return QColor(0xFF, 0xFF, 0xFF);
        case 6:  // window frame
            return QColor(0x64, 0x64, 0x64);
        case 8:  // window text
        default:
            return QColor(0x00, 0x00, 0x00);
    }
}

}  // namespace

QColor toQColor(Color color) {
    if (color & 0x80000000u) return systemColor(color & 0xFFu);
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

}  // namespace forms
