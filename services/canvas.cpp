// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cfloat>
#include <cmath>
#include <numbers>

#include "canvasview.h"
#include "numbertext.h"
#include "pixelgeometry.h"
#include "singleprecision.h"

namespace forms {

namespace {

constexpr int kSunkenBorder = 2;

}  // namespace

Canvas::Canvas(const CanvasDesign& design, QWidget& window)
    : Control(design.name),
      border_(design.border == Border::Sunken ? kSunkenBorder : 0),
      left_(float(design.rect.left)),
      backColor_(design.backColor),
      foreColor_(design.foreColor),
      font_(design.font),
      autoRedraw_(design.autoRedraw) {
    view_ = new CanvasView(*this, border_, &window);
    view_->setGeometry(twipsToPixels(design.rect.left), twipsToPixels(design.rect.top),
                       twipsToPixels(design.rect.width), twipsToPixels(design.rect.height));
    const QSizeF inner(std::max(1, view_->width() - 2 * border_),
                       std::max(1, view_->height() - 2 * border_));
    scale_ = UserScale::twips(inner);
}

Canvas::~Canvas() {
    endPainting();
    delete view_.data();
}

QWidget& Canvas::widget() {
    return *view_;
}

void Canvas::setLeft(float left) {
    if (left_ == left) return;
    left_ = left;
    view_->move(twipsToPixels(left), view_->y());
}

bool Canvas::setScale(double x1, double y1, double x2, double y2) {
    for (const double corner : {x1, y1, x2, y2}) {
        if (!(std::abs(corner) <= FLT_MAX)) return false;
    }
    const float left = float(x1);
    const float top = float(y1);
    const float width = float(x2) - left;
    const float height = float(y2) - top;
    if (width == 0 || height == 0 || !std::isfinite(width) || !std::isfinite(height))
        return false;
    const UserScale scale(left, top, width, height, scale_.pixelSize());
    children_.rescale(scale_, scale);
    scale_ = scale;
    return true;
}

void Canvas::setDrawWidth(int width) {
    drawWidth_ = std::max(1, width);
}
void Canvas::setCurrentX(double x) {
    currentX_ = toSingle(x);
}
void Canvas::setCurrentY(double y) {
    currentY_ = toSingle(y);
}

void Canvas::ensureImages() {
    const qreal ratio = view_->devicePixelRatioF();
    if (!persistent_.isNull() && persistent_.devicePixelRatio() == ratio) return;
    endPainting();
    const QSize size = (scale_.pixelSize() * ratio).toSize();
    QImage persistent(size, QImage::Format_RGB32);
    persistent.setDevicePixelRatio(ratio);
    persistent.fill(toQColor(backColor_));
    QImage screen(size, QImage::Format_ARGB32_Premultiplied);
    screen.setDevicePixelRatio(ratio);
    screen.fill(Qt::transparent);
    if (!persistent_.isNull()) {
        // Moved to a screen of another pixel ratio: keep what was drawn.
        QPainter(&persistent).drawImage(QRectF(QPointF(0, 0), scale_.pixelSize()), persistent_);
        QPainter(&screen).drawImage(QRectF(QPointF(0, 0), scale_.pixelSize()), screen_);
    }
    persistent_ = std::move(persistent);
    screen_ = std::move(screen);
}

QPainter& Canvas::painterOn(QImage& target) {
    ensureImages();
    if (&target == &persistent_) persistentIsBlank_ = false;
    if (painterTarget_ == &target) return *painter_;
    endPainting();
    painter_ = std::make_unique<QPainter>(&target);
    painter_->setRenderHint(QPainter::Antialiasing);
    painter_->setRenderHint(QPainter::TextAntialiasing);
    painterTarget_ = &target;
    return *painter_;
}

void Canvas::endPainting() {
    painter_.reset();
    painterTarget_ = nullptr;
}

void Canvas::drawn(const QRectF& pixelRect, DrawingCall call) {
    call.persistent = autoRedraw_;
    if (watcher_) watcher_(call);
    const QRect inner(QPoint(0, 0), scale_.pixelSize().toSize());
    const QRect area = coveringPixels(pixelRect, inner);
    if (area.isEmpty()) return;
    if (!autoRedraw_) screenDrawing_ += area;
    view_->update(area.translated(border_, border_));
}

void Canvas::cls() {
    ensureImages();
    endPainting();
    // A layer untouched since its last erase is skipped: at a high pixel ratio the erase is
    // the costliest part of a redraw, and a lesson may clear twice in one step.
    if (autoRedraw_ && !persistentIsBlank_) {
        persistent_.fill(toQColor(backColor_));
        persistentIsBlank_ = true;
    }
    if (!screenDrawing_.isEmpty()) screen_.fill(Qt::transparent);
    screenDrawing_ = QRegion();
    currentX_ = float(scale_.left());
    currentY_ = float(scale_.top());
    if (watcher_) watcher_({.op = DrawingOp::Cls, .persistent = autoRedraw_});
    view_->update();
}

void Canvas::line(double x1, double y1, double x2, double y2, std::optional<Color> color) {
    const float fx1 = toSingle(x1), fy1 = toSingle(y1), fx2 = toSingle(x2), fy2 = toSingle(y2);
    const Color ink = color.value_or(foreColor_);
    const QPointF a = scale_.toPixels(fx1, fy1);
    const QPointF b = scale_.toPixels(fx2, fy2);
    const QRectF reach = QRectF(QPointF(0, 0), scale_.pixelSize()).adjusted(-8, -8, 8, 8);
    if (const auto segment = clipSegment(a, b, reach)) {
        QPainter& painter = painterOn(autoRedraw_ ? persistent_ : screen_);
        const QPointF from(snapToPixelGrid(segment->x1(), drawWidth_),
                           snapToPixelGrid(segment->y1(), drawWidth_));
        const QPointF to(snapToPixelGrid(segment->x2(), drawWidth_),
                         snapToPixelGrid(segment->y2(), drawWidth_));
        const double half = drawWidth_ / 2.0;
        if (from.x() == to.x() || from.y() == to.y()) {
            // Axes and ticks: a rectangle, ends included, is what the pen would cover and
            // costs a fraction of a stroke.
            painter.fillRect(
                QRectF(
                    QPointF(std::min(from.x(), to.x()) - half, std::min(from.y(), to.y()) - half),
                    QPointF(std::max(from.x(), to.x()) + half, std::max(from.y(), to.y()) + half)),
                toQColor(ink));
        } else {
            QPen pen(toQColor(ink), drawWidth_);
            // Round ends only show on a wide pen; on a thin one they cost curves for nothing.
            pen.setCapStyle(drawWidth_ > 2 ? Qt::RoundCap : Qt::SquareCap);
            painter.setPen(pen);
            painter.drawLine(from, to);
        }
    }
    currentX_ = fx2;
    currentY_ = fy2;
    drawn(segmentBounds(a, b, drawWidth_), {.op = DrawingOp::Line,
                                            .x1 = fx1,
                                            .y1 = fy1,
                                            .x2 = fx2,
                                            .y2 = fy2,
                                            .color = ink,
                                            .width = drawWidth_});
}

void Canvas::pset(double x, double y, std::optional<Color> color) {
    const float fx = toSingle(x), fy = toSingle(y);
    const Color ink = color.value_or(foreColor_);
    const QPointF p = scale_.toPixels(fx, fy);
    const QRectF dot(p.x() - drawWidth_ / 2.0, p.y() - drawWidth_ / 2.0, drawWidth_, drawWidth_);
    if (dot.intersects(QRectF(QPointF(0, 0), scale_.pixelSize()))) {
        QPainter& painter = painterOn(autoRedraw_ ? persistent_ : screen_);
        const QPointF centre(snapToPixelGrid(p.x(), drawWidth_),
                             snapToPixelGrid(p.y(), drawWidth_));
        const QRectF square(centre.x() - drawWidth_ / 2.0, centre.y() - drawWidth_ / 2.0,
                            drawWidth_, drawWidth_);
        if (drawWidth_ <= 3) {
            painter.fillRect(square, toQColor(ink));
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(toQColor(ink));
            painter.drawEllipse(square);
            painter.setBrush(Qt::NoBrush);
        }
    }
    currentX_ = fx;
    currentY_ = fy;
    drawn(dot.adjusted(-1, -1, 1, 1),
          {.op = DrawingOp::PSet, .x1 = fx, .y1 = fy, .color = ink, .width = drawWidth_});
}

void Canvas::circle(double x, double y, double radius, std::optional<Color> color, double start,
                    double end) {
    const float fx = toSingle(x), fy = toSingle(y), fr = toSingle(radius);
    const float fstart = toSingle(start), fend = toSingle(end);
    const Color ink = color.value_or(foreColor_);
    const QPointF centre = scale_.toPixels(fx, fy);
    const double r = scale_.widthToPixels(fr);
    const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    const QRectF bounds = box.adjusted(-drawWidth_, -drawWidth_, drawWidth_, drawWidth_);
    if (bounds.intersects(QRectF(QPointF(0, 0), scale_.pixelSize())) && r < 1e6 &&
        std::isfinite(fstart) && std::isfinite(fend)) {
        double from = std::abs(double(fstart));
        double span = std::abs(double(fend)) - from;
        if (span <= 0) span += 2 * std::numbers::pi;
        QPainterPath arc;
        arc.arcMoveTo(box, from * 180 / std::numbers::pi);
        arc.arcTo(box, from * 180 / std::numbers::pi, span * 180 / std::numbers::pi);
        QPainter& painter = painterOn(autoRedraw_ ? persistent_ : screen_);
        QPen pen(toQColor(ink), drawWidth_);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawPath(arc);
    }
    currentX_ = fx;
    currentY_ = fy;
    drawn(bounds, {.op = DrawingOp::Circle,
                   .x1 = fx,
                   .y1 = fy,
                   .radius = fr,
                   .start = fstart,
                   .end = fend,
                   .color = ink,
                   .width = drawWidth_});
}

void Canvas::print(std::string_view text) {
    const QString qtext = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QFont font = toQFont(font_);
    const QFontMetricsF metrics(font);
    const QPointF at = scale_.toPixels(currentX_, currentY_);
    const QRectF box(at, QSizeF(metrics.horizontalAdvance(qtext), metrics.height()));
    if (box.intersects(QRectF(QPointF(0, 0), scale_.pixelSize()))) {
        QPainter& painter = painterOn(autoRedraw_ ? persistent_ : screen_);
        painter.setFont(font);
        painter.setPen(toQColor(foreColor_));
        painter.drawText(QPointF(std::round(at.x()), std::round(at.y()) + metrics.ascent()), qtext);
    }
    DrawingCall call{.op = DrawingOp::Print,
                     .x1 = currentX_,
                     .y1 = currentY_,
                     .color = foreColor_,
                     .text = std::string(text),
                     .fontSize = font_.points,
                     .italic = font_.italic};
    const QPointF next = scale_.toUser(QPointF(0, at.y() + metrics.height()));
    currentX_ = float(scale_.left());
    currentY_ = std::abs(next.y()) <= FLT_MAX ? float(next.y()) : currentY_;
    drawn(box.adjusted(-2, -2, 2, 2), std::move(call));
}

void Canvas::addChild(Windowless& child) {
    child.attachTo(*this);
    children_.add(child);
}

const std::vector<Windowless*>& Canvas::children() const {
    return children_.controls();
}

void Canvas::repaintArea(const QRectF& pixelRect, Erase erase) {
    const QRect inner(QPoint(0, 0), scale_.pixelSize().toSize());
    const QRect area = coveringPixels(pixelRect, inner);
    if (area.isEmpty()) return;
    // Only where screen-only drawing lies is there anything to erase; a line shape across
    // the whole canvas must not cost a full clear of the layer at every drag step.
    if (erase == Erase::ScreenDrawing && screenDrawing_.intersects(area)) {
        QPainter& painter = painterOn(screen_);
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        for (const QRect& drawnPart : screenDrawing_.intersected(area))
            painter.fillRect(drawnPart, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        screenDrawing_ -= area;
    }
    view_->update(area.translated(border_, border_));
    view_->refreshKeyMark();
}

void Canvas::paintInner(QPainter& painter, const QRect& area) {
    ensureImages();
    endPainting();
    const qreal ratio = persistent_.devicePixelRatio();
    const QRectF source(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio);
    painter.drawImage(QRectF(area), persistent_, source);
    children_.paint(painter, area);
    for (const QRect& drawnPart : screenDrawing_.intersected(area)) {
        const QRectF part(drawnPart);
        painter.drawImage(part, screen_, QRectF(part.topLeft() * ratio, part.size() * ratio));
    }
}

void Canvas::mouseDown(int button, int shift, float x, float y) {
    heldButtons_ |= button;
    if (onMouseDown) onMouseDown({button, shift, x, y});
    view_->refreshKeyMark();
    if (afterInput && keyDepth_ == 0) afterInput(false);
}

void Canvas::mouseMove(int buttons, int shift, float x, float y) {
    if (onMouseMove) onMouseMove({buttons, shift, x, y});
    view_->refreshKeyMark();
    if (afterInput && keyDepth_ == 0) afterInput(false);
}

void Canvas::mouseUp(int button, int, float, float) {
    heldButtons_ &= ~button;
    if (afterInput && keyDepth_ == 0) afterInput(true);
}

bool Canvas::keyDown(int keyCode, int shift, bool repeat) {
    ++keyDepth_;
    const bool used = onKeyDown && onKeyDown({keyCode, shift, repeat});
    --keyDepth_;
    view_->refreshKeyMark();
    if (used && afterInput) afterInput(!repeat);
    return used;
}

void Canvas::setAccessibleName(const std::string& name) {
    view_->setAccessibleName(QString::fromStdString(name));
}

void Canvas::setAccessibleDescription(const std::string& description) {
    view_->setAccessibleDescription(QString::fromStdString(description));
}

void Canvas::keyUp(int keyCode, int shift, bool repeat) {
    if (onKeyUp) onKeyUp({keyCode, shift, repeat});
    if (afterInput && !repeat) afterInput(true);
}

}  // namespace forms
