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
    CanvasView(Canvas& canvas, QWidget* parent);

    QPoint innerOrigin() const;
    const std::vector<Windowless*>& windowlessControls() const override;
    QPoint surfaceOrigin() const override { return innerOrigin(); }
    double surfaceZoom() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointF toUser(QPointF widgetPoint) const;

    Canvas& canvas_;
};

// Classic button and shift flags of a Qt event.
int buttonFlag(Qt::MouseButton button);
int buttonFlags(Qt::MouseButtons buttons);
int shiftFlags(Qt::KeyboardModifiers modifiers);

}  // namespace forms
