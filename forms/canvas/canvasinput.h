// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas's input, in the classic events: the one place where the mouse and the keys,
// from the view or from the replay harness, reach the lesson's handlers, and the key mark
// that shows where the keys act.
#pragma once

#include <QRect>

class QColor;
class QPainter;
class QTransform;

namespace forms {

class Canvas;

class CanvasInput {
public:
    explicit CanvasInput(Canvas& canvas) : canvas_(canvas) {}

    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int buttons, int shift, float x, float y);
    void mouseUp(int button);
    bool keyDown(int keyCode, int shift, bool repeat);
    void keyUp(int keyCode, int shift, bool repeat);
    int heldButtons() const { return heldButtons_; }

    // The pixels the lesson's key mark may touch once toView (from the canvas's pixels at
    // zoom 1) has placed it; empty when there is no mark or it lies outside within.
    QRect keyMarkRect(const QTransform& toView, const QRect& within) const;
    // Paints the key mark through a painter set to the same transform.
    void paintKeyMark(QPainter& painter, const QColor& ink) const;

private:
    Canvas& canvas_;
    // The buttons pressed and not yet let go, as the classic flags.
    int heldButtons_ = 0;
    // Above 0 while a key's handler runs: the mouse events a key step makes are its own,
    // and afterInput hears only of the key. Only keyDown moves it, and puts it back.
    int keyDepth_ = 0;
};

}  // namespace forms
