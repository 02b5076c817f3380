// SPDX-License-Identifier: GPL-3.0-or-later
// What waits to be repainted in one top-level window: the areas each of its widgets marked,
// joined into a few rectangles, and while a batch is open, the areas and the moves not yet
// told to Qt. Each window holds its own, as a child object found from any of its widgets.
// With LESSONS_SHOW_REPAINTS=1 in the environment when the window is made, every painted
// rectangle is outlined for a moment: for whoever tunes repainting.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QTimer>
#include <deque>
#include <optional>
#include <vector>

#include "repaintareas.h"

class QPainter;
class QWidget;

namespace forms {

class WindowRepaints : public QObject {
    Q_OBJECT
public:
    // The one of the widget's top-level window, made at its first use.
    static WindowRepaints& of(QWidget& widget);

    // Marks an area of a widget in this window for its next paint, joined with its other
    // marks. Told to Qt at once, or when the open batch closes.
    void mark(QWidget& widget, const QRect& area);
    // Moves a widget now, or with the areas told when the open batch closes: a canvas that
    // moves with the figure is painted in the same frame as the rest.
    void place(QWidget& widget, const QRect& geometry);
    // Tells at once what the open batch holds: before a picture of the window is taken.
    void tellNow();

    // The rectangles a widget's paint event paints, each under its own clip; its marks are
    // forgotten (RepaintAreas::take).
    std::vector<QRect> take(QWidget& widget, const QRegion& region);
    // Called at the end of the paint with what take() gave: outlines them when asked to.
    void painted(QWidget& widget, QPainter& painter, const std::vector<QRect>& rects);
    // Off while a picture of the window is taken, which must show the window alone.
    void setOutlinesPainted(bool painted) { outlinesPainted_ = painted; }

private:
    friend class RepaintBatch;

    struct Entry {
        QPointer<QWidget> widget;
        RepaintAreas marked;
        std::vector<QRect> held;
        std::optional<QRect> geometry;
        // Outlines whose removal was asked for: their repaint is not outlined again.
        QRegion fading;
    };
    struct Outline {
        QPointer<QWidget> widget;
        QRect rect;
        qint64 dueMs;
    };

    explicit WindowRepaints(QWidget& window);
    Entry& entryFor(QWidget& widget);
    void tellHeld();
    void removeDueOutlines();

    std::vector<Entry> entries_;
    // Batches open on this window; 0 while a modal box is up within one.
    int depth_ = 0;
    const bool outlined_;
    bool outlinesPainted_ = true;
    std::deque<Outline> outlines_;
    QTimer outlineTimer_;
    QElapsedTimer clock_;
};

// While a batch is open (a pointer or key event on a canvas, a timer's tick) the areas
// marked in its window are held and told to Qt when it closes: a drag step marks dozens of
// areas, and every update() costs a pass through the widget's dirty region. Nothing is
// held past the close, so the figure follows the pointer: when events come faster than
// the program paints, Qt's update request, posted behind the input, joins them.
class RepaintBatch {
public:
    // A batch on the widget's window.
    explicit RepaintBatch(QWidget& widget);
    // A batch on every window that has repainted: a timer's tick may change any of them.
    RepaintBatch();
    ~RepaintBatch();
    RepaintBatch(const RepaintBatch&) = delete;
    RepaintBatch& operator=(const RepaintBatch&) = delete;

    static void place(QWidget& widget, const QRect& geometry) {
        WindowRepaints::of(widget).place(widget, geometry);
    }

    // For a nested event loop (a modal message box): what the window holds is told, and
    // areas marked until the pause ends are told at once.
    class Pause {
    public:
        explicit Pause(QWidget& widget);
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        QPointer<WindowRepaints> window_;
        int depth_;
    };

private:
    std::vector<QPointer<WindowRepaints>> windows_;
};

}  // namespace forms
