// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cfloat>
#include <cmath>
#include <numbers>

#include "canvasview.h"
#include "numbertext.h"
#include "pixelgeometry.h"
#include "repaintareas.h"
#include "singleprecision.h"

namespace forms {

namespace {

constexpr int kSunkenBorder = 2;

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
    if (width == 0 || height == 0 || !std::isfinite(width) || !std::isfinite(height)) return false;
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

QRect Canvas::inner() const {
    return QRect(QPoint(0, 0), scale_.pixelSize().toSize());
}

void Canvas::ensureImages() {
    const double ratio = this->ratio();
    if (layers_.drawnAt(ratio)) return;
    if (!layers_.screen().image.isNull()) erases_.settle();
    settleRedraw();
    const QSize size =
        (QSizeF(view_->size() - 2 * QSize(2 * edgeWidth(), 2 * edgeWidth())) * deviceRatio(view_))
            .toSize()
            .expandedTo(QSize(1, 1));
    layers_.remake(size, ratio, toQColor(backColor_), erases_);
}

void Canvas::keep(Mark mark) {
    ensureImages();
    if (!autoRedraw_) erases_.settle();  // what was to go before this goes first
    mark.serial = layers_.takeSerial();
    if (autoRedraw_ && redraw_.comparing()) {
        if (redraw_.same(mark)) return;
        repaintRedrawn(redraw_.diverge(toQColor(backColor_), inner()));
    }
    layers_.keep(std::move(mark), autoRedraw_);
    if (!layers_.screen().replayable) erases_.forgetDone();
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
    if (redraw_.takeUnchanged()) return;
    const QRect area = coveringPixels(pixelRect, inner());
    if (area.isEmpty()) return;
    if (!autoRedraw_) erases_.drawn(area);
    view_->repaintLater(zoomedArea(area));
}

void Canvas::cls() {
    ensureImages();
    layers_.endPainting();
    // A lesson that clears and draws the same again at every pointer movement (quillet's
    // axes) would repaint the whole canvas for nothing: the picture is kept, and the calls
    // that follow are compared with those it holds.
    const bool keepForRedraw = autoRedraw_ && redraw_.begin();
    if (autoRedraw_ && !keepForRedraw) layers_.clearPersistent(toQColor(backColor_));
    // The screen-only layer is cleared, and repainted, only where it held anything: a
    // lesson that draws a few arcs at every step must not clear a whole screen's layer.
    // Arcs of single points leave hundreds of rectangles, gathered into a few first.
    RepaintAreas cleared;
    for (const QRect& part : erases_.drawing()) cleared.add(deviceArea(part, layers_.ratio()));
    for (const QRect& area : cleared.areas()) clearPixels(layers_.screen().image, area);
    layers_.forgetScreenMarks();
    repaintGathered(erases_.drawing());
    if (autoRedraw_ && !keepForRedraw) view_->repaintLater(view_->rect());
    // The next paint settles the comparison, so one must come.
    if (keepForRedraw) view_->repaintLater(QRect(view_->innerOrigin(), QSize(1, 1)));
    // All the screen-only drawing is gone, the parts still to erase with it.
    erases_.clear();
    currentX_ = float(scale_.left());
    currentY_ = float(scale_.top());
    if (watcher_) watcher_({.op = DrawingOp::Cls, .persistent = autoRedraw_});
}

void Canvas::repaintRedrawn(const QRegion& region) {
    for (const QRect& part : region) view_->repaintLater(zoomedArea(part));
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
    const QRect area = coveringPixels(pixelRect, inner());
    if (area.isEmpty()) return;
    const QRect zoomed = zoomedArea(area);
    if (!worthPieces(zoomed)) pieces.clear();
    // Only where screen-only drawing lies is there anything to erase; a line shape across
    // the whole canvas must not cost a full clear of the layer at every drag step.
    if (erase == Erase::ScreenDrawing && erases_.drawing().intersects(area)) {
        ensureImages();
        // The whole area is erased, as the control's bounds have always erased; what the
        // pieces leave out is shown erased too.
        if (!pieces.empty()) repaintGathered(erases_.drawing() & area);
        erases_.erase(area);
    }
    if (pieces.empty()) view_->repaintLater(zoomed);
    for (const QRectF& piece : pieces)
        if (const QRect part = coveringPixels(piece, area); !part.isEmpty())
            view_->repaintLater(zoomedArea(part));
    view_->refreshKeyMark();
}

void Canvas::settleRedraw() {
    if (redraw_.comparing()) repaintRedrawn(redraw_.settle(toQColor(backColor_), inner()));
}

void Canvas::paintInner(QPainter& painter, const QRect& area) {
    ensureImages();
    settleRedraw();
    erases_.settle();
    layers_.paintWaitingMarks();
    layers_.endPainting();
    // The layers are in device pixels over the zoomed inner area: copied one to one.
    const qreal device = deviceRatio(view_);
    const auto copy = [&](const QImage& image, const QRect& part) {
        painter.drawImage(QRectF(part), image,
                          QRectF(QPointF(part.topLeft()) * device, QSizeF(part.size()) * device));
    };
    copy(layers_.persistent().image, area);
    painter.save();
    painter.scale(zoom_, zoom_);
    children_.paint(painter, QRectF(QPointF(area.topLeft()) / zoom_, QSizeF(area.size()) / zoom_)
                                 .adjusted(-1, -1, 1, 1));
    painter.restore();
    // Arcs of single points leave the screen-only drawing in hundreds of small rectangles;
    // where a few would not do, one round them costs less, and the layer is clear between.
    std::vector<QRect> parts;
    QRect around;
    for (const QRect& drawnPart : erases_.drawing()) {
        const QRect part =
            QRectF(QPointF(drawnPart.topLeft()) * zoom_, QSizeF(drawnPart.size()) * zoom_)
                .toAlignedRect()
                .intersected(area);
        if (part.isEmpty()) continue;
        parts.push_back(part);
        around |= part;
    }
    if (parts.size() > 4) parts.assign(1, around);
    for (const QRect& part : parts) copy(layers_.screen().image, part);
}

void Canvas::mouseDown(int button, int shift, float x, float y) {
    input_.mouseDown(button, shift, x, y);
}

void Canvas::mouseMove(int buttons, int shift, float x, float y) {
    input_.mouseMove(buttons, shift, x, y);
}

void Canvas::mouseUp(int button, int, float, float) {
    input_.mouseUp(button);
}

bool Canvas::keyDown(int keyCode, int shift, bool repeat) {
    return input_.keyDown(keyCode, shift, repeat);
}

void Canvas::keyUp(int keyCode, int shift, bool repeat) {
    input_.keyUp(keyCode, shift, repeat);
}

void Canvas::setAccessibleName(const std::string& name) {
    access_.setName(name);
}

void Canvas::setAccessibleDescription(const std::string& description) {
    access_.setDescription(description);
}

}  // namespace forms
