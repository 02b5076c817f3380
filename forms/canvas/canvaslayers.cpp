// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvaslayers.h"

#include <QPainter>
#include <QPainterPath>
#include <cstring>
#include <optional>
#include <utility>

#include "fonts.h"
#include "pixelgeometry.h"
#include "screenerases.h"

namespace forms {

namespace {

// Beyond this many kept calls a layer stops keeping them; at a new zoom its old image is
// then scaled instead of drawn afresh. A pupil gets there only by dragging for hours.
constexpr size_t kMaxMarks = 4096;

}  // namespace

QRect deviceArea(const QRect& logical, double ratio) {
    return QRectF(QPointF(logical.topLeft()) * ratio, QSizeF(logical.size()) * ratio)
        .toAlignedRect();
}

// Clears device pixels of the screen-only layer, row by row. Through a painter, a clear of
// a hundred rows or more is handed to Qt's worker threads, at several thread switches; at
// full screen an arc's area is that tall, and it is cleared at every drag step.
void clearPixels(QImage& image, const QRect& area) {
    const QRect part = area.intersected(image.rect());
    if (part.isEmpty()) return;
    const qsizetype stride = image.bytesPerLine();
    const qsizetype offset = qsizetype(part.left()) * 4;
    const std::size_t bytes = std::size_t(part.width()) * 4;
    uchar* bits = image.bits();
    for (int y = part.top(); y <= part.bottom(); ++y)
        std::memset(bits + y * stride + offset, 0, bytes);
}

bool sameDrawing(const Mark& before, const Mark& now) {
    return before.op == now.op && before.a == now.a && before.b == now.b && before.box == now.box &&
           before.from == now.from && before.span == now.span && before.color == now.color &&
           before.width == now.width && before.text == now.text && before.font == now.font &&
           before.reach == now.reach;
}

CanvasLayers::CanvasLayers() = default;

CanvasLayers::~CanvasLayers() {
    endPainting();
}

void CanvasLayers::checkInvariants() const {
    Q_ASSERT(screenPainted_ <= screen_.marks.size());
    Q_ASSERT(persistent_.replayable || persistent_.marks.empty());
    Q_ASSERT(screen_.replayable || screen_.marks.empty());
    Q_ASSERT(persistent_.image.size() == screen_.image.size());
    Q_ASSERT(!painter_ == !painterTarget_);
    Q_ASSERT(screen_.marks.empty() || screen_.marks.back().serial < nextSerial_);
    Q_ASSERT(persistent_.marks.empty() || persistent_.marks.back().serial < nextSerial_);
}

void CanvasLayers::remake(QSize size, double ratio, const QColor& backColor,
                          const ScreenErases& erases) {
    endPainting();
    const QImage persistentBefore =
        std::exchange(persistent_.image, QImage(size, QImage::Format_RGB32));
    const QImage screenBefore =
        std::exchange(screen_.image, QImage(size, QImage::Format_ARGB32_Premultiplied));
    imageRatio_ = ratio;
    persistent_.image.fill(backColor);
    screen_.image.fill(Qt::transparent);
    redraw(persistent_, persistentBefore, nullptr);
    redraw(screen_, screenBefore, &erases);
    screenPainted_ = screen_.marks.size();
    checkInvariants();
}

void CanvasLayers::redraw(Layer& layer, const QImage& before, const ScreenErases* erases) {
    if (!layer.replayable) {
        // Too much was kept to draw again: the old picture, scaled, is the best there is.
        QPainter painter(&layer.image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(layer.image.rect(), before);
        return;
    }
    if (layer.marks.empty()) return;
    QPainter& painter = painterOn(layer);
    const double ratio = imageRatio_;
    for (const Mark& mark : layer.marks) {
        const std::optional<QRegion> clip = erases ? erases->left(mark, ratio) : std::nullopt;
        if (clip) {
            painter.save();
            painter.resetTransform();
            painter.setClipRegion(*clip);
            painter.scale(ratio, ratio);
        }
        paintMark(painter, mark);
        if (clip) painter.restore();
    }
}

QPainter& CanvasLayers::painterOn(Layer& layer) {
    if (painterTarget_ == &layer) return *painter_;
    endPainting();
    // Images are in device pixels; the painter works in the canvas's pixels at zoom 1.
    painter_ = std::make_unique<QPainter>(&layer.image);
    painter_->setRenderHint(QPainter::Antialiasing);
    painter_->setRenderHint(QPainter::TextAntialiasing);
    painter_->scale(imageRatio_, imageRatio_);
    painterTarget_ = &layer;
    return *painter_;
}

void CanvasLayers::endPainting() {
    painter_.reset();
    painterTarget_ = nullptr;
}

void CanvasLayers::paintMark(QPainter& painter, const Mark& mark) const {
    const double ratio = imageRatio_;
    switch (mark.op) {
        case DrawingOp::Line: {
            const QPointF from(snapToPixelGrid(mark.a.x(), mark.width, ratio),
                               snapToPixelGrid(mark.a.y(), mark.width, ratio));
            const QPointF to(snapToPixelGrid(mark.b.x(), mark.width, ratio),
                             snapToPixelGrid(mark.b.y(), mark.width, ratio));
            if (from.x() == to.x() || from.y() == to.y()) {
                // Axes and ticks: a rectangle, ends included, is what the pen would cover and
                // costs a fraction of a stroke. On whole device pixels it stays sharp.
                const double half = snappedPenWidth(mark.width, ratio) / 2;
                painter.fillRect(QRectF(QPointF(std::min(from.x(), to.x()) - half,
                                                std::min(from.y(), to.y()) - half),
                                        QPointF(std::max(from.x(), to.x()) + half,
                                                std::max(from.y(), to.y()) + half)),
                                 mark.color);
            } else {
                QPen pen(mark.color, mark.width);
                // Round ends only show on a wide pen; on a thin one they cost curves for nothing.
                pen.setCapStyle(mark.width > 2 ? Qt::RoundCap : Qt::SquareCap);
                painter.setPen(pen);
                painter.drawLine(from, to);
            }
            break;
        }
        case DrawingOp::PSet: {
            const QPointF centre(snapToPixelGrid(mark.a.x(), mark.width, ratio),
                                 snapToPixelGrid(mark.a.y(), mark.width, ratio));
            const double side = snappedPenWidth(mark.width, ratio);
            const QRectF square(centre.x() - side / 2, centre.y() - side / 2, side, side);
            if (mark.width <= 3) {
                painter.fillRect(square, mark.color);
            } else {
                painter.setPen(Qt::NoPen);
                painter.setBrush(mark.color);
                painter.drawEllipse(square);
                painter.setBrush(Qt::NoBrush);
            }
            break;
        }
        case DrawingOp::Circle: {
            QPainterPath arc;
            arc.arcMoveTo(mark.box, mark.from);
            arc.arcTo(mark.box, mark.from, mark.span);
            QPen pen(mark.color, mark.width);
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            painter.drawPath(arc);
            break;
        }
        case DrawingOp::Print:
            painter.setFont(mark.font);
            painter.setPen(mark.color);
            painter.drawText(QPointF(mark.a.x(), mark.a.y() + lineBox(mark.font).ascent),
                             mark.text);
            break;
        case DrawingOp::Cls:
            break;
    }
}

void CanvasLayers::keep(Mark mark, bool persistent) {
    Layer& layer = persistent ? persistent_ : screen_;
    if (persistent) persistentIsBlank_ = false;
    if (layer.replayable && layer.marks.size() >= kMaxMarks) {
        if (!persistent) paintWaitingMarks();
        layer.replayable = false;
        layer.marks.clear();
        if (!persistent) screenPainted_ = 0;
    }
    // Screen-only drawing waits to be painted until it is shown: a lesson that clears and
    // draws its arcs again at every pointer movement would otherwise paint the arcs of
    // states that the next movement clears before the screen refreshes.
    if (!persistent && layer.replayable) {
        mark.uncovered = mark.reach;
        layer.marks.push_back(std::move(mark));
        return;
    }
    paintMark(painterOn(layer), mark);
    if (layer.replayable) layer.marks.push_back(std::move(mark));
}

void CanvasLayers::paintWaitingMarks() {
    if (screenPainted_ >= screen_.marks.size()) return;
    QPainter& painter = painterOn(screen_);
    for (std::size_t i = screenPainted_; i < screen_.marks.size(); ++i)
        paintMark(painter, screen_.marks[i]);
    screenPainted_ = screen_.marks.size();
}

void CanvasLayers::clearPersistent(const QColor& backColor) {
    // A layer untouched since its last erase is skipped: at a high pixel ratio the erase
    // is the costliest part of a redraw, and a lesson may clear twice in one step.
    if (!persistentIsBlank_) {
        persistent_.image.fill(backColor);
        persistentIsBlank_ = true;
    }
    persistent_ = Layer{std::move(persistent_.image), {}, true};
}

void CanvasLayers::forgetScreenMarks() {
    screen_ = Layer{std::move(screen_.image), {}, true};
    screenPainted_ = 0;
}

}  // namespace forms
