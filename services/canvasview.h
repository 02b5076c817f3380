// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt widget behind a canvas: it paints the border and the canvas's inner area and
// turns Qt mouse events into the classic ones (button flags, user units).
#pragma once

#include <QWidget>

#include "control.h"

namespace forms {

class Canvas;

class CanvasView : public QWidget, public WindowlessHost {
    Q_OBJECT
public:
    CanvasView(Canvas& canvas, int border, QWidget* parent);

    QPoint innerOrigin() const { return {border_, border_}; }
    const std::vector<Windowless*>& windowlessControls() const override;
    QPoint surfaceOrigin() const override { return innerOrigin(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointF toUser(QPointF widgetPoint) const;

    Canvas& canvas_;
    int border_;
};

// Classic button and shift flags of a Qt event.
int buttonFlag(Qt::MouseButton button);
int buttonFlags(Qt::MouseButtons buttons);
int shiftFlags(Qt::KeyboardModifiers modifiers);

}  // namespace forms
