// SPDX-License-Identifier: GPL-3.0-or-later
// What the real-window tests look for on a screenshot: the distance and slope lessons'
// plane, and pixels of the lessons' colours counted round a place.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <cmath>

namespace pixels {

// The canvas of the distance and slope lessons: 120 twips from the client area's corner, a
// two-pixel border, and x from -2 to 13, y from 8 down to -3 over 496 x 363 pixels.
inline QPoint planePixel(QPoint client, double x, double y) {
    return client + QPoint(10, 10) +
           QPoint(int(std::floor((x + 2) * 496 / 15)), int(std::floor((8 - y) * 363 / 11)));
}

inline bool isRed(QColor c) {
    return c.red() > 200 && c.green() < 80 && c.blue() < 80;
}
inline bool isBlue(QColor c) {
    return c.blue() > 200 && c.red() < 80 && c.green() < 80;
}

template <typename Matches>
int countIn(const QImage& image, QRect area, Matches matches) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.valid(x, y) && matches(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

template <typename Matches>
int countAround(const QImage& image, QPoint centre, int radius, Matches matches) {
    return countIn(image, QRect(centre, centre).adjusted(-radius, -radius, radius, radius),
                   matches);
}

}  // namespace pixels
