// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt widget behind a canvas: it paints the border and the canvas's inner area and
// turns Qt mouse and key events into the classic ones (button flags, user units, key
// codes). Like a web page's focus-visible rule, the focus frame and the key mark show
// once the keyboard is used on the canvas and hide at a mouse press, so a pupil with the
// mouse sees the figure exactly as before.
#pragma once

#include <QWidget>

#include "control.h"
#include "repaintareas.h"

namespace forms {

class Canvas;

class CanvasView : public QWidget, public WindowlessHost {
    Q_OBJECT
public:
    CanvasView(Canvas& canvas, QWidget* parent);

    QPoint innerOrigin() const;
    const std::vector<Windowless*>& windowlessControls() const override;
    QPoint surfaceOrigin() const override { return innerOrigin(); }
    double surfaceZoom() const override;
    std::string accessibleState() const override;

    // Marks an area for repainting. The areas marked before the next paint are repainted
    // as the one rectangle that holds them all: painting many small rectangles costs more
    // per control than a larger one costs per pixel.
    void repaintLater(const QRect& area);

    // Repaints the key mark where it was and where it is now, when it moved.
    void refreshKeyMark();
    bool showsKeyMark() const { return keysVisible_ && hasFocus(); }
    // Off while a picture of the window is taken: the focus frame and the key mark are
    // then left out of the paint, whatever the screen shows.
    void setKeyMarksPainted(bool painted) { keyMarksPainted_ = painted; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void paintRect(QPainter& painter, const QRect& part);
    QPointF toUser(QPointF widgetPoint) const;
    void setKeysVisible(bool visible);
    // Where the mark is drawn, from the widget's corner, and the pixels its ink may touch.
    QTransform keyMarkTransform() const;
    QRect keyMarkRect() const;
    void paintKeyMark(QPainter& painter) const;

    Canvas& canvas_;
    bool keysVisible_ = false;
    bool keyMarksPainted_ = true;
    QRect shownMarkRect_;
    RepaintAreas pending_;
};

// Classic button and shift flags of a Qt event.
int buttonFlag(Qt::MouseButton button);
int buttonFlags(Qt::MouseButtons buttons);
int shiftFlags(Qt::KeyboardModifiers modifiers);
// The classic code of a key a canvas passes on, or 0.
int keyCode(int qtKey);

}  // namespace forms
