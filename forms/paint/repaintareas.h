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
#include <chrono>
#include <optional>
#include <vector>

class QWidget;

namespace forms {

// While a batch is open (a pointer or key event on a canvas, a timer's tick) the areas
// widgets mark are held and told to Qt when it closes: a drag step marks dozens of areas,
// and every update() costs a pass through the widget's dirty region. A batch closing
// within another tells all that is held, so that what a nested event changed shows.
// The outermost tells at most once a screen refresh: a mouse reporting 125 times a second
// would otherwise have every other picture painted and never seen. What waits is told a
// refresh after the last telling, so the last position of a drag always shows.
class RepaintBatch {
public:
    RepaintBatch();
    ~RepaintBatch();
    RepaintBatch(const RepaintBatch&) = delete;
    RepaintBatch& operator=(const RepaintBatch&) = delete;

    // Tells the widget of the area now, or when the open batch closes: at once if the last
    // telling is a screen refresh ago, else a refresh after it.
    static void update(QWidget& widget, const QRect& area);

    // Moves the widget now, or with the areas told when the open batch closes: a canvas
    // that moves with the figure is painted in the same frame as the rest.
    static void place(QWidget& widget, const QRect& geometry);

    // Tells at once whatever waits for its frame: before a picture is taken of the window.
    static void tellNow();

    // The least time between tellings; none: the primary screen's refresh.
    static void setFrameInterval(std::optional<std::chrono::nanoseconds> interval);

    // For a nested event loop (a modal message box): what is held is told, and areas
    // marked until the pause ends are told at once.
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        int depth_;
    };
};

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
