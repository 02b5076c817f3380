// SPDX-License-Identifier: GPL-3.0-or-later
// The areas a widget has marked for its next paint, kept as a few rectangles. One
// rectangle round everything changed in a drag step can be many times the changed pixels
// when long thin lines move with the point (dorvane's projections reach the axes), and at
// full screen on a large monitor copying those pixels is most of the step; a rectangle
// per change costs a clip and a pass over the controls each. Two areas are joined where
// the rectangle round both holds fewer extra pixels than that cost.
#pragma once

#include <QRect>
#include <QRegion>
#include <vector>

namespace forms {

// Whether a control's area on the screen is large enough that repainting it in pieces
// along what it paints costs less than the passes the pieces add.
bool worthPieces(const QRect& deviceArea);

class RepaintAreas {
public:
    // Adds an area and returns the rectangle it now lies in, for the widget's update(); an
    // empty one when it lies in a marked area already.
    QRect add(QRect area);
    // The rectangles to paint for a paint event's region, each to be painted under its
    // own clip; the marks are forgotten. A region that reaches beyond the marks (an expose)
    // is painted by its own rectangles.
    std::vector<QRect> take(const QRegion& region);
    const std::vector<QRect>& areas() const { return areas_; }

private:
    std::vector<QRect> areas_;
};

}  // namespace forms
