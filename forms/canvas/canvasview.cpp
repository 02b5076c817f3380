// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvasview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTransform>

#include "canvas.h"

namespace forms {

CanvasView::CanvasView(Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setObjectName(QString::fromStdString(canvas.name()));
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

std::string CanvasView::accessibleState() const {
    return canvas_.access().state();
}

void CanvasView::repaintLater(const QRect& area) {
    WindowRepaints::of(*this).mark(*this, area);
}

void CanvasView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The window's repaint of everything marked starts with its update request.
    window()->installEventFilter(this);
}

bool CanvasView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::UpdateRequest && watched == window()) canvas_.settleRedraw();
    return QWidget::eventFilter(watched, event);
}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    WindowRepaints& repaints = WindowRepaints::of(*this);
    // Rectangle by rectangle: under a clip of one rectangle the raster engine copies and
    // fills directly, where a clip of many rectangles sends every row through span
    // functions that it hands out to worker threads, at a thread switch each.
    const std::vector<QRect> rects = repaints.take(*this, event->region());
    for (const QRect& rect : rects) {
        painter.save();
        painter.setClipRect(rect);
        paintRect(painter, rect);
        painter.restore();
    }
    repaints.painted(*this, painter, rects);
}

void CanvasView::paintRect(QPainter& painter, const QRect& part) {
    const int edgeWidth = canvas_.edgeWidth();
    const QRect innerArea(innerOrigin(), size() - 2 * QSize(2 * edgeWidth, 2 * edgeWidth));
    if (edgeWidth > 0 && !innerArea.contains(part)) {
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
        if (showsKeyMark() && keyMarksPainted_) {
            // The focus frame takes the place of the edge and leaves the figure alone.
            const QColor focus = palette().color(QPalette::Highlight);
            edge(outer, focus, focus);
            edge(inner, focus, focus);
        } else {
            edge(outer, QColor(0xA0, 0xA0, 0xA0), Qt::white);
            edge(inner, QColor(0x69, 0x69, 0x69), QColor(0xE3, 0xE3, 0xE3));
        }
    }
    painter.translate(innerOrigin());
    const QRect area = part.intersected(innerArea).translated(-innerOrigin());
    if (area.isEmpty()) return;
    painter.setClipRect(area);
    canvas_.paintInner(painter, area);
    if (showsKeyMark() && keyMarksPainted_) paintKeyMark(painter);
}

QTransform CanvasView::keyMarkTransform() const {
    return QTransform::fromTranslate(innerOrigin().x(), innerOrigin().y())
        .scale(canvas_.zoom(), canvas_.zoom());
}

QRect CanvasView::keyMarkRect() const {
    if (!showsKeyMark()) return {};
    return canvas_.input().keyMarkRect(keyMarkTransform(), rect());
}

void CanvasView::paintKeyMark(QPainter& painter) const {
    if (keyMarkRect().isEmpty()) return;
    painter.save();
    // The painter stands at the inner area's corner; the mark is placed from the widget's,
    // by the transform its repaint area is worked out with.
    painter.setTransform(keyMarkTransform());
    canvas_.input().paintKeyMark(painter, palette().color(QPalette::Highlight));
    painter.restore();
}

void CanvasView::refreshKeyMark() {
    const QRect now = keyMarkRect();
    if (now == shownMarkRect_) return;
    repaintLater(shownMarkRect_);
    repaintLater(now);
    shownMarkRect_ = now;
}

void CanvasView::setKeysVisible(bool visible) {
    if (keysVisible_ == visible) return;
    keysVisible_ = visible;
    const int border = 2 * canvas_.edgeWidth();
    update(QRegion(rect()) - QRegion(rect().adjusted(border, border, -border, -border)));
    refreshKeyMark();
}

void CanvasView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    const bool byKeyboard =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (byKeyboard) setKeysVisible(true);
    refreshKeyMark();
}

void CanvasView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    setKeysVisible(false);
    refreshKeyMark();
}

// Keys the lesson takes; the rest go on to the window. Only a key the lesson took shows
// the marks: the window's own keys (Ctrl+C, Ctrl+S, F1, F11, Escape) pass through here
// first and must leave the figure as it was.
void CanvasView::keyPressEvent(QKeyEvent* event) {
    const RepaintBatch batch(*this);
    const int code = keyCode(event->key());
    if (code && canvas_.keyDown(code, shiftFlags(event->modifiers()), event->isAutoRepeat()))
        setKeysVisible(true);
    else
        event->ignore();
}

void CanvasView::keyReleaseEvent(QKeyEvent* event) {
    const RepaintBatch batch(*this);
    const int code = keyCode(event->key());
    if (!code) {
        event->ignore();
        return;
    }
    canvas_.keyUp(code, shiftFlags(event->modifiers()), event->isAutoRepeat());
}

const std::vector<Windowless*>& CanvasView::windowlessControls() const {
    return canvas_.children();
}

QPointF CanvasView::toUser(QPointF widgetPoint) const {
    return canvas_.scale().toUser((widgetPoint - QPointF(innerOrigin())) / canvas_.zoom());
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    const RepaintBatch batch(*this);
    setKeysVisible(false);
    const QPointF user = toUser(event->position());
    canvas_.mouseDown(buttonFlag(event->button()), shiftFlags(event->modifiers()), float(user.x()),
                      float(user.y()));
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    const RepaintBatch batch(*this);
    const QPointF user = toUser(event->position());
    canvas_.mouseMove(buttonFlags(event->buttons()), shiftFlags(event->modifiers()),
                      float(user.x()), float(user.y()));
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    const RepaintBatch batch(*this);
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

int keyCode(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return KeyReturn;
        case Qt::Key_Space:
            return KeySpace;
        case Qt::Key_Left:
            return KeyLeft;
        case Qt::Key_Up:
            return KeyUp;
        case Qt::Key_Right:
            return KeyRight;
        case Qt::Key_Down:
            return KeyDown;
        default:
            return 0;
    }
}

int shiftFlags(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace forms
