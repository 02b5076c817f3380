#include "canvasview.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "canvas.h"

namespace forms {

CanvasView::CanvasView(Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QPoint CanvasView::innerOrigin() const {
    const int border = 2 * canvas_.edgeWidth();
    return {border, border};
}

double CanvasView::surfaceZoom() const {
    return canvas_.zoom();
}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const int edgeWidth = canvas_.edgeWidth();
    const QRect innerArea(innerOrigin(), size() - 2 * QSize(2 * edgeWidth, 2 * edgeWidth));
    if (edgeWidth > 0 && !innerArea.contains(event->rect())) {
        // The classic sunken edge: dark grey and black outside, white and light grey inside,
        // each ring as thick as the zoom.
        const QRect outer = rect();
        const QRect inner = outer.adjusted(edgeWidth, edgeWidth, -edgeWidth, -edgeWidth);
        const int e = edgeWidth;
        const auto edge = [&painter, e](const QRect& box, QColor topLeft, QColor bottomRight) {
            painter.fillRect(QRect(box.left(), box.top(), box.width(), e), topLeft);
            painter.fillRect(QRect(box.left(), box.top(), e, box.height()), topLeft);
            painter.fillRect(QRect(box.left(), box.bottom() + 1 - e, box.width(), e), bottomRight);
            painter.fillRect(QRect(box.right() + 1 - e, box.top(), e, box.height()), bottomRight);
        };
        edge(outer, QColor(0xA0, 0xA0, 0xA0), Qt::white);
        edge(inner, QColor(0x69, 0x69, 0x69), QColor(0xE3, 0xE3, 0xE3));
    }
    painter.translate(innerOrigin());
    const QRect area = event->rect().intersected(innerArea).translated(-innerOrigin());
    if (area.isEmpty()) return;
    painter.setClipRect(area);
    canvas_.paintInner(painter, area);
}

const std::vector<Windowless*>& CanvasView::windowlessControls() const {
    return canvas_.children();
}

QPointF CanvasView::toUser(QPointF widgetPoint) const {
    return canvas_.scale().toUser((widgetPoint - QPointF(innerOrigin())) / canvas_.zoom());
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    const QPointF user = toUser(event->position());
    canvas_.mouseDown(buttonFlag(event->button()), shiftFlags(event->modifiers()), float(user.x()),
                      float(user.y()));
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF user = toUser(event->position());
    canvas_.mouseMove(buttonFlags(event->buttons()), shiftFlags(event->modifiers()),
                      float(user.x()), float(user.y()));
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF user = toUser(event->position());
    canvas_.mouseUp(buttonFlag(event->button()), shiftFlags(event->modifiers()), float(user.x()),
                    float(user.y()));
}

int buttonFlag(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return LeftButton;
        case Qt::RightButton:
            return RightButton;
        case Qt::MiddleButton:
            return MiddleButton;
        default:
            return 0;
    }
}

int buttonFlags(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? LeftButton : 0) |
           (buttons & Qt::RightButton ? RightButton : 0) |
           (buttons & Qt::MiddleButton ? MiddleButton : 0);
}

int shiftFlags(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace forms
