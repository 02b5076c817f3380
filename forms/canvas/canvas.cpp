// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <numbers>

#include "canvasview.h"
#include "numbertext.h"
#include "pixelgeometry.h"
#include "repaintareas.h"
#include "singleprecision.h"

namespace forms {

namespace {

constexpr int kSunkenBorder = 2;
// Beyond this many kept calls a layer stops keeping them; at a new zoom its old image is
// then scaled instead of drawn afresh. A pupil gets there only by dragging for hours.
constexpr size_t kMaxMarks = 4096;

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

}  // namespace

Canvas::Canvas(const CanvasDesign& design, QWidget& window)
    : Control(design.name),
      design_(design.rect),
      border_(design.border == Border::Sunken ? kSunkenBorder : 0),
      left_(float(design.rect.left)),
      backColor_(design.backColor),
      foreColor_(design.foreColor),
      font_(design.font),
      autoRedraw_(design.autoRedraw) {
    view_ = new CanvasView(*this, &window);
    const QSizeF inner(std::max(1, twipsToPixels(design.rect.width) - 2 * border_),
                       std::max(1, twipsToPixels(design.rect.height) - 2 * border_));
    scale_ = UserScale::twips(inner);
    place();
}

Canvas::~Canvas() {
    endPainting();
    delete view_.data();
}

QWidget& Canvas::widget() {
    return *view_;
}

int Canvas::edgeWidth() const {
    return border_ == 0 ? 0 : int(std::max(1L, std::lround(zoom_)));
}

void Canvas::place() {
    // The inner area is the zoomed one rounded once, so that the kept images fill it.
    const QSizeF inner = scale_.pixelSize() * zoom_;
    const int border = 2 * edgeWidth();
    RepaintBatch::place(*view_, QRect(int(std::lround(twipsToPixels(left_) * zoom_)),
                                      int(std::lround(twipsToPixels(design_.top) * zoom_)),
                                      int(std::lround(inner.width())) + 2 * border,
                                      int(std::lround(inner.height())) + 2 * border));
}

void Canvas::setLeft(float left) {
    if (left_ == left) return;
    left_ = left;
    place();
}

void Canvas::setZoom(double zoom) {
    if (zoom_ == zoom) return;
    zoom_ = zoom;
    place();
    view_->update();
    // The mark moved with the zoom: its old place must not be what the next step repaints.
    view_->refreshKeyMark();
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

double Canvas::ratio() const {
    return zoom_ * deviceRatio(view_);
}

void Canvas::ensureImages() {
    const double ratio = this->ratio();
    if (!persistent_.image.isNull() && imageRatio_ == ratio) return;
    if (!screen_.image.isNull()) settleErases();
    settleRedraw();
    endPainting();
    const QSize size = (QSizeF(view_->size() - 2 * QSize(2 * edgeWidth(), 2 * edgeWidth())) *
                        deviceRatio(view_))
                           .toSize()
                           .expandedTo(QSize(1, 1));
    const QImage persistentBefore = std::exchange(persistent_.image, QImage(size, QImage::Format_RGB32));
    const QImage screenBefore =
        std::exchange(screen_.image, QImage(size, QImage::Format_ARGB32_Premultiplied));
    imageRatio_ = ratio;
    persistent_.image.fill(toQColor(backColor_));
    screen_.image.fill(Qt::transparent);
    redraw(persistent_, persistentBefore, false);
    redraw(screen_, screenBefore, true);
    screenPainted_ = screen_.marks.size();
}

void Canvas::redraw(Layer& layer, const QImage& before, bool screen) {
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
        QRegion clip;
        bool clipped = false;
        if (screen) {
            for (const ScreenErase& erase : screenErases_) {
                if (erase.serial <= mark.serial || !erase.area.intersects(mark.reach)) continue;
                if (!clipped) clip = deviceArea(mark.reach, ratio);
                clipped = true;
                clip -= deviceArea(erase.area, ratio);
            }
        }
        if (clipped) {
            painter.save();
            painter.resetTransform();
            painter.setClipRegion(clip);
            painter.scale(ratio, ratio);
        }
        paintMark(painter, mark);
        if (clipped) painter.restore();
    }
}

QPainter& Canvas::painterOn(Layer& layer) {
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

void Canvas::endPainting() {
    painter_.reset();
    painterTarget_ = nullptr;
}

void Canvas::paintMark(QPainter& painter, const Mark& mark) const {
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

void Canvas::keep(Mark mark) {
    ensureImages();
    if (!autoRedraw_) settleErases();  // what was to go before this goes first
    Layer& layer = autoRedraw_ ? persistent_ : screen_;
    mark.serial = nextSerial_++;
    keptUnchanged_ = false;
    if (autoRedraw_ && redrawing_) {
        Redrawing& redrawing = *redrawing_;
        if (redrawing.matched < redrawing.before.size() && sameDrawing(redrawing.before[redrawing.matched], mark)) {
            // The picture already holds it, where the same call put it before the clear.
            ++redrawing.matched;
            persistentIsBlank_ = false;
            keptUnchanged_ = true;
            layer.marks.push_back(std::move(mark));
            return;
        }
        divergeRedraw();
    }
    if (autoRedraw_) persistentIsBlank_ = false;
    if (layer.replayable && layer.marks.size() >= kMaxMarks) {
        if (!autoRedraw_) paintWaitingMarks();
        layer.replayable = false;
        layer.marks.clear();
        if (!autoRedraw_) {
            screenErases_.clear();
            screenPainted_ = 0;
        }
    }
    // Screen-only drawing waits to be painted until it is shown: a lesson that clears and
    // draws its arcs again at every pointer movement would otherwise paint the arcs of
    // states that the next movement clears before the screen refreshes.
    if (!autoRedraw_ && layer.replayable) {
        mark.uncovered = mark.reach;
        layer.marks.push_back(std::move(mark));
        return;
    }
    paintMark(painterOn(layer), mark);
    if (layer.replayable) layer.marks.push_back(std::move(mark));
}

void Canvas::paintWaitingMarks() {
    if (screenPainted_ >= screen_.marks.size()) return;
    QPainter& painter = painterOn(screen_);
    for (std::size_t i = screenPainted_; i < screen_.marks.size(); ++i)
        paintMark(painter, screen_.marks[i]);
    screenPainted_ = screen_.marks.size();
}

void Canvas::eraseScreen(const QRect& area) {
    if (pendingErases_.empty() || pendingErases_.back() != area) pendingErases_.push_back(area);
}

void Canvas::settleErases() {
    const std::vector<QRect> pending = std::exchange(pendingErases_, {});
    if (pending.empty()) return;
    paintWaitingMarks();  // drawn before the erases, so under them
    QRegion erased;
    for (const QRect& area : pending) erased += area;
    // Each device pixel a logical one touches, so however the region falls into rectangles
    // the same pixels are cleared.
    if (const QRegion cleared = screenDrawing_ & erased; !cleared.isEmpty()) {
        // Written to directly: a painter kept on a shared image would go on drawing into
        // the copy that writing leaves behind.
        if (!screen_.image.isDetached()) endPainting();
        for (const QRect& part : cleared) clearPixels(screen_.image, deviceArea(part, imageRatio_));
        screenDrawing_ -= erased;
    }
    if (!screen_.replayable) return;
    // A mark wholly erased since is forgotten; an erase is kept while older marks remain.
    std::vector<Mark>& marks = screen_.marks;
    for (Mark& mark : marks) {
        if (erased.intersects(mark.reach)) mark.uncovered -= erased;
    }
    for (const QRect& area : pending) screenErases_.push_back({nextSerial_, area});
    std::erase_if(marks, [](const Mark& mark) { return mark.uncovered.isEmpty(); });
    screenPainted_ = marks.size();
    const std::uint64_t oldest = marks.empty() ? nextSerial_ : marks.front().serial;
    std::erase_if(screenErases_,
                  [oldest](const ScreenErase& erase) { return erase.serial <= oldest; });
}

QRect Canvas::zoomedArea(const QRectF& pixelRect) const {
    // One pixel more each way: antialiased edges may reach into the next zoomed pixel.
    return QRectF(pixelRect.topLeft() * zoom_, pixelRect.size() * zoom_)
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1)
        .translated(2 * edgeWidth(), 2 * edgeWidth());
}

void Canvas::drawn(const QRectF& pixelRect, DrawingCall call) {
    call.persistent = autoRedraw_;
    if (watcher_) watcher_(call);
    if (std::exchange(keptUnchanged_, false)) return;
    const QRect inner(QPoint(0, 0), scale_.pixelSize().toSize());
    const QRect area = coveringPixels(pixelRect, inner);
    if (area.isEmpty()) return;
    if (!autoRedraw_) screenDrawing_ += area;
    view_->repaintLater(zoomedArea(area));
}

void Canvas::cls() {
    ensureImages();
    // All the screen-only drawing goes below, the parts still to erase with it.
    pendingErases_.clear();
    endPainting();
    // A lesson that clears and draws the same again at every pointer movement (quillet's
    // axes) would repaint the whole canvas for nothing: the picture is kept, and the calls
    // that follow are compared with those it holds. It is cleared only once they differ,
    // or at the next paint if fewer came.
    const bool keepForRedraw =
        autoRedraw_ && (redrawing_ || (persistent_.replayable && !persistent_.marks.empty()));
    if (keepForRedraw) {
        if (!redrawing_) redrawing_ = Redrawing{std::move(persistent_.marks), 0};
        redrawing_->matched = 0;
    } else if (autoRedraw_ && !persistentIsBlank_) {
        // A layer untouched since its last erase is skipped: at a high pixel ratio the erase
        // is the costliest part of a redraw, and a lesson may clear twice in one step.
        persistent_.image.fill(toQColor(backColor_));
        persistentIsBlank_ = true;
    }
    if (autoRedraw_) {
        persistent_ = Layer{std::move(persistent_.image), {}, true};
        // The same calls are likely to come again, as many.
        if (redrawing_) persistent_.marks.reserve(redrawing_->before.size());
    }
    // The screen-only layer is cleared, and repainted, only where it held anything: a
    // lesson that draws a few arcs at every step must not clear a whole screen's layer.
    // Arcs of single points leave hundreds of rectangles, gathered into a few first.
    RepaintAreas cleared;
    for (const QRect& part : screenDrawing_) cleared.add(deviceArea(part, imageRatio_));
    for (const QRect& area : cleared.areas()) clearPixels(screen_.image, area);
    screen_ = Layer{std::move(screen_.image), {}, true};
    screenPainted_ = 0;
    screenErases_.clear();
    repaintGathered(screenDrawing_);
    if (autoRedraw_ && !keepForRedraw) view_->repaintLater(view_->rect());
    // The next paint settles the comparison, so one must come.
    if (keepForRedraw) view_->repaintLater(QRect(view_->innerOrigin(), QSize(1, 1)));
    screenDrawing_ = QRegion();
    currentX_ = float(scale_.left());
    currentY_ = float(scale_.top());
    if (watcher_) watcher_({.op = DrawingOp::Cls, .persistent = autoRedraw_});
}

// Arcs of single points leave the drawing in hundreds of rectangles: they are gathered into
// a few before the widget hears of them.
void Canvas::repaintGathered(const QRegion& region) {
    RepaintAreas gathered;
    for (const QRect& part : region) gathered.add(zoomedArea(part));
    for (const QRect& area : gathered.areas()) view_->repaintLater(area);
}

void Canvas::line(double x1, double y1, double x2, double y2, std::optional<Color> color) {
    const float fx1 = toSingle(x1), fy1 = toSingle(y1), fx2 = toSingle(x2), fy2 = toSingle(y2);
    const Color ink = color.value_or(foreColor_);
    const QPointF a = scale_.toPixels(fx1, fy1);
    const QPointF b = scale_.toPixels(fx2, fy2);
    const QRectF within = QRectF(QPointF(0, 0), scale_.pixelSize()).adjusted(-8, -8, 8, 8);
    const QRectF bounds = segmentBounds(a, b, drawWidth_);
    if (const auto segment = clipSegment(a, b, within)) {
        keep({.op = DrawingOp::Line,
              .a = segment->p1(),
              .b = segment->p2(),
              .color = toQColor(ink),
              .width = drawWidth_,
              .reach = coveringPixels(bounds, QRect(QPoint(0, 0), scale_.pixelSize().toSize()))});
    }
    currentX_ = fx2;
    currentY_ = fy2;
    drawn(bounds, {.op = DrawingOp::Line,
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
    const QRectF bounds = dot.adjusted(-1, -1, 1, 1);
    if (dot.intersects(QRectF(QPointF(0, 0), scale_.pixelSize()))) {
        keep({.op = DrawingOp::PSet,
              .a = p,
              .color = toQColor(ink),
              .width = drawWidth_,
              .reach = coveringPixels(bounds, QRect(QPoint(0, 0), scale_.pixelSize().toSize()))});
    }
    currentX_ = fx;
    currentY_ = fy;
    drawn(bounds, {.op = DrawingOp::PSet, .x1 = fx, .y1 = fy, .color = ink, .width = drawWidth_});
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
        keep({.op = DrawingOp::Circle,
              .box = box,
              .from = from * 180 / std::numbers::pi,
              .span = span * 180 / std::numbers::pi,
              .color = toQColor(ink),
              .width = drawWidth_,
              .reach = coveringPixels(bounds, QRect(QPoint(0, 0), scale_.pixelSize().toSize()))});
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
    const double lineHeight = lineBox(font).height;
    const QPointF at = scale_.toPixels(currentX_, currentY_);
    const QRectF box(at, QSizeF(advances_.of(font, qtext), lineHeight));
    const QRectF bounds = box.adjusted(-2, -2, 2, 2);
    if (box.intersects(QRectF(QPointF(0, 0), scale_.pixelSize()))) {
        keep({.op = DrawingOp::Print,
              .a = QPointF(std::round(at.x()), std::round(at.y())),
              .color = toQColor(foreColor_),
              .text = qtext,
              .font = font,
              .reach = coveringPixels(bounds, QRect(QPoint(0, 0), scale_.pixelSize().toSize()))});
    }
    DrawingCall call{.op = DrawingOp::Print,
                     .x1 = currentX_,
                     .y1 = currentY_,
                     .color = foreColor_,
                     .text = std::string(text),
                     .fontSize = font_.points,
                     .italic = font_.italic};
    const QPointF next = scale_.toUser(QPointF(0, at.y() + lineHeight));
    currentX_ = float(scale_.left());
    currentY_ = std::abs(next.y()) <= FLT_MAX ? float(next.y()) : currentY_;
    drawn(bounds, std::move(call));
}

void Canvas::addChild(Windowless& child) {
    child.attachTo(*this);
    children_.add(child);
}

const std::vector<Windowless*>& Canvas::children() const {
    return children_.controls();
}

void Canvas::repaintArea(const QRectF& pixelRect, Erase erase, std::vector<QRectF> pieces) {
    const QRect inner(QPoint(0, 0), scale_.pixelSize().toSize());
    const QRect area = coveringPixels(pixelRect, inner);
    if (area.isEmpty()) return;
    const QRect zoomed = zoomedArea(area);
    if (!worthPieces(zoomed)) pieces.clear();
    // Only where screen-only drawing lies is there anything to erase; a line shape across
    // the whole canvas must not cost a full clear of the layer at every drag step.
    if (erase == Erase::ScreenDrawing && screenDrawing_.intersects(area)) {
        ensureImages();
        // The whole area is erased, as the control's bounds have always erased; what the
        // pieces leave out is shown erased too.
        if (!pieces.empty()) repaintGathered(screenDrawing_ & area);
        eraseScreen(area);
    }
    if (pieces.empty()) view_->repaintLater(zoomed);
    for (const QRectF& piece : pieces)
        if (const QRect part = coveringPixels(piece, area); !part.isEmpty())
            view_->repaintLater(zoomedArea(part));
    view_->refreshKeyMark();
}

bool Canvas::sameDrawing(const Mark& before, const Mark& now) {
    return before.op == now.op && before.a == now.a && before.b == now.b && before.box == now.box &&
           before.from == now.from && before.span == now.span && before.color == now.color &&
           before.width == now.width && before.text == now.text && before.font == now.font &&
           before.reach == now.reach;
}

void Canvas::settleRedraw() {
    if (!redrawing_) return;
    if (redrawing_->matched == redrawing_->before.size()) {
        redrawing_.reset();
        return;
    }
    divergeRedraw();
}

// The calls since the clear part from those before it: what the earlier calls drew from
// there on is cleared, and the calls since that reach into it are drawn there again. Calls
// that only add to the end of the picture clear nothing.
void Canvas::divergeRedraw() {
    const Redrawing redrawing = std::move(*redrawing_);
    redrawing_.reset();
    QRegion gone;
    bool text = false;
    for (std::size_t i = redrawing.matched; i < redrawing.before.size(); ++i) {
        gone += redrawing.before[i].reach;
        text = text || redrawing.before[i].op == DrawingOp::Print;
    }
    // Text may reach past its box (an italic's overhang): it goes with a clear of all.
    if (text) gone = QRect(QPoint(0, 0), scale_.pixelSize().toSize()).adjusted(-8, -8, 8, 8);
    if (gone.isEmpty()) return;
    QRegion device;
    for (const QRect& part : gone) device += deviceArea(part, imageRatio_);
    QPainter& painter = painterOn(persistent_);
    painter.save();
    painter.resetTransform();
    painter.setClipRegion(device);
    for (const QRect& part : device) painter.fillRect(part, toQColor(backColor_));
    painter.scale(imageRatio_, imageRatio_);
    for (const Mark& mark : persistent_.marks)
        if (gone.intersects(mark.reach)) paintMark(painter, mark);
    painter.restore();
    persistentIsBlank_ = persistent_.marks.empty() && redrawing.matched == 0;
    for (const QRect& part : gone) view_->repaintLater(zoomedArea(part));
}

void Canvas::paintInner(QPainter& painter, const QRect& area) {
    ensureImages();
    settleRedraw();
    settleErases();
    paintWaitingMarks();
    endPainting();
    // The layers are in device pixels over the zoomed inner area: copied one to one.
    const qreal device = deviceRatio(view_);
    const auto copy = [&](const QImage& image, const QRect& part) {
        painter.drawImage(QRectF(part), image,
                          QRectF(QPointF(part.topLeft()) * device, QSizeF(part.size()) * device));
    };
    copy(persistent_.image, area);
    painter.save();
    painter.scale(zoom_, zoom_);
    children_.paint(painter, QRectF(QPointF(area.topLeft()) / zoom_, QSizeF(area.size()) / zoom_)
                                 .adjusted(-1, -1, 1, 1));
    painter.restore();
    // Arcs of single points leave the screen-only drawing in hundreds of small rectangles;
    // where a few would not do, one round them costs less, and the layer is clear between.
    std::vector<QRect> parts;
    QRect around;
    for (const QRect& drawnPart : screenDrawing_) {
        const QRect part =
            QRectF(QPointF(drawnPart.topLeft()) * zoom_, QSizeF(drawnPart.size()) * zoom_)
                .toAlignedRect()
                .intersected(area);
        if (part.isEmpty()) continue;
        parts.push_back(part);
        around |= part;
    }
    if (parts.size() > 4) parts.assign(1, around);
    for (const QRect& part : parts) copy(screen_.image, part);
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
