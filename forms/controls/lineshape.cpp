// SPDX-License-Identifier: GPL-3.0-or-later
#include "lineshape.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "pixelgeometry.h"
#include "singleprecision.h"

namespace forms {

namespace {

constexpr int kBandRows = 64;

}  // namespace

LineShape::LineShape(const LineDesign& design, Surface& surface)
    : Windowless(design.name),
      x1_(float(design.x1), surface.scale().xAxis()),
      y1_(float(design.y1), surface.scale().yAxis()),
      x2_(float(design.x2), surface.scale().xAxis()),
      y2_(float(design.y2), surface.scale().yAxis()),
      color_(design.color),
      style_(design.style),
      width_(design.width) {
    attachTo(surface);
    if (!design.visible) Windowless::setVisible(false);
}

float LineShape::Coordinate::in(const ScaleAxis& axis) const {
    return axis == axis_ ? value_ : toSingle(axis.toUser(pixel()));
}

void LineShape::setEnd(Coordinate& end, float value, const ScaleAxis& axis) {
    if (end.is(value, axis)) return;
    change([&] { end = Coordinate(value, axis); });
}

void LineShape::setEnds(float x1, float y1, float x2, float y2) {
    const ScaleAxis across = scale().xAxis();
    const ScaleAxis up = scale().yAxis();
    const auto set = [](Coordinate& end, float value, const ScaleAxis& axis) {
        return [&end, value, &axis] {
            if (end.is(value, axis)) return false;
            end = Coordinate(value, axis);
            return true;
        };
    };
    changeInTurn(set(x1_, x1, across), set(y1_, y1, up), set(x2_, x2, across), set(y2_, y2, up));
}

void LineShape::setBorderColor(Color color) {
    if (color_ == color) return;
    change([&] { color_ = color; }, Erase::Nothing);
}

QRectF LineShape::pixelBounds() const {
    return segmentBounds(start(), finish(), width_);
}

// Clipped against the whole surface, not the repainted area, so that a dotted line keeps
// the same dot phase however it is repainted.
QRectF LineShape::drawnArea() const {
    return QRectF(QPointF(0, 0), scale().pixelSize()).adjusted(-8, -8, 8, 8);
}

std::vector<QRectF> LineShape::paintedPieces() const {
    // A line in one piece keeps its bounds: the raster engine's thin-line stroker starts
    // from where a clip cuts the line, so a line partly off the canvas would be repainted
    // under other cuts than before.
    std::vector<QRectF> pieces = segmentPieces(start(), finish(), width_, drawnArea());
    if (pieces.size() < 2) pieces.clear();
    return pieces;
}

bool LineShape::paintsInto(const QRectF& area) const {
    const double reach = width_ / 2.0 + 1.5;
    return pixelBounds().intersects(area) &&
           clipSegment(start(), finish(), area.adjusted(-reach, -reach, reach, reach)).has_value();
}

void LineShape::paint(QPainter& painter) const {
    const auto segment = clipSegment(start(), finish(), drawnArea());
    if (!segment) return;
    const double ratio = renderRatio(painter);
    const QPointF start(snapToPixelGrid(segment->x1(), width_, ratio),
                        snapToPixelGrid(segment->y1(), width_, ratio));
    const QPointF end(snapToPixelGrid(segment->x2(), width_, ratio),
                      snapToPixelGrid(segment->y2(), width_, ratio));
    const double reach = width_ + 2;
    const QRectF area = painter.clipBoundingRect().adjusted(-reach, -reach, reach, reach);
    const QColor color = toQColor(color_);
    if (style_ != LineStyle::Solid && (start.x() == end.x() || start.y() == end.y())) {
        paintPatternAlongAxis(painter, start, end, area, color);
        return;
    }
    const double penWidth = snappedPenWidth(width_, ratio);
    if (style_ == LineStyle::Solid) {
        // A line of one device pixel goes to the raster engine's cosmetic stroker, which
        // takes the round cap as drawing the end pixels, also where a clip cuts the line.
        // A wider one is filled as its outline, four corners and a dot at each end, where a
        // round cap would send the whole line through the general stroker at every
        // repaint, however little of it the clip shows. The corners come from the whole
        // line, so that every repainted part has the same edges.
        const bool thin = penWidth * ratio <= 1;
        if (thin) {
            QPen pen(color, penWidth);
            pen.setCapStyle(Qt::RoundCap);
            painter.setPen(pen);
            painter.drawLine(start, end);
            return;
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        const QLineF axis(start, end);
        const double radius = penWidth / 2;
        if (axis.length() > 0) {
            const QPointF across = QPointF(-axis.dy(), axis.dx()) * (radius / axis.length());
            painter.drawPolygon(
                QPolygonF{start + across, end + across, end - across, start - across});
        }
        for (const QPointF& tip : {start, end}) {
            if (area.contains(tip)) painter.drawEllipse(tip, radius, radius);
            if (start == end) break;
        }
        painter.setBrush(Qt::NoBrush);
        return;
    }
    // Dashing costs by the length stroked: only the part of a dashed line inside the
    // repainted area is drawn, with the dashes shifted so that they fall as before.
    const auto part = clipSegment(start, end, area);
    if (!part) return;
    QPen pen(color, penWidth);
    pen.setCapStyle(Qt::FlatCap);
    pen.setDashPattern(dashPattern());
    pen.setDashOffset(QLineF(start, part->p1()).length() / penWidth);
    painter.setPen(pen);
    painter.drawLine(*part);
}

QList<qreal> LineShape::dashPattern() const {
    return style_ == LineStyle::Dot ? QList<qreal>{1, 1} : QList<qreal>{4, 2, 1, 2};
}

void LineShape::paintPatternAlongAxis(QPainter& painter, QPointF start, QPointF end,
                                      const QRectF& area, const QColor& color) const {
    // A dotted or dash-dotted line along an axis is one rectangle filled with a tile of its
    // pattern: far cheaper than stroking every dash at each repaint.
    const bool horizontal = start.y() == end.y();
    const double from = horizontal ? start.x() : start.y();
    const double to = horizontal ? end.x() : end.y();
    const bool backwards = to < from;
    // Thickness and dashes in whole device pixels, so that a zoomed dotted line stays crisp.
    const qreal ratio = renderRatio(painter);
    const double thickness = snappedPenWidth(width_, ratio);
    const double half = thickness / 2.0;
    const QRectF line =
        horizontal ? QRectF(std::min(from, to), start.y() - half, std::abs(to - from), thickness)
                   : QRectF(start.x() - half, std::min(from, to), thickness, std::abs(to - from));
    const QRectF visible = line.intersected(area);
    if (visible.isEmpty()) return;

    const QList<qreal> pattern = dashPattern();
    QList<double> runs;
    double period = 0;
    for (qreal piece : pattern) {
        runs.append(std::max(1.0, std::round(piece * width_ * ratio)) / ratio);
        period += runs.back();
    }
    // The tile is kept while its look holds, since a drag repaints the line many times. It
    // is made in device pixels at a ratio of one: the painter sends a fill with a tile of
    // any other ratio through its general path filler, many times slower.
    const TileKey key{ratio, horizontal, backwards, color};
    if (!(tileKey_ == key)) {
        const QSizeF tileSize = horizontal ? QSizeF(period, thickness) : QSizeF(thickness, period);
        QImage tile((tileSize * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        tile.fill(Qt::transparent);
        {
            QPainter tilePainter(&tile);
            tilePainter.scale(ratio, ratio);
            double at = 0;
            for (qsizetype piece = 0; piece < pattern.size(); ++piece) {
                const double run = runs[piece];
                // Going backwards the pattern runs from the tile's far end towards its start.
                const double low = backwards ? period - at - run : at;
                if (piece % 2 == 0)
                    tilePainter.fillRect(horizontal ? QRectF(low, 0, run, thickness)
                                                    : QRectF(0, low, thickness, run),
                                         color);
                at += run;
            }
        }
        tile_ = QBrush(tile);
        tileKey_ = key;
        strip_ = QImage();
    }
    QPointF origin = horizontal ? QPointF(backwards ? from - period : from, line.top())
                                : QPointF(line.left(), backwards ? from - period : from);
    QRectF fill = visible;
    painter.save();
    const double device = deviceRatio(painter.device());
    const QTransform world = painter.worldTransform();
    if (device == 1 && world.type() <= QTransform::TxScale && world.m11() > 0 && world.m22() > 0) {
        // In device pixels, where the tile's pixels are the screen's own.
        fill = world.mapRect(visible);
        origin = world.map(origin);
        painter.setWorldTransform(QTransform());
        // Without antialiasing the fill covers the pixels its rounded edges enclose.
        const QRect pixels(QPoint(qRound(fill.left()), qRound(fill.top())),
                           QPoint(qRound(fill.right()) - 1, qRound(fill.bottom()) - 1));
        const QImage tile = tile_.textureImage();
        if (!painter.testRenderHint(QPainter::Antialiasing) &&
            (horizontal ? pixels.height() <= tile.height() : pixels.width() <= tile.width())) {
            drawStrip(painter, tile, pixels, origin, horizontal);
        } else {
            painter.setBrushOrigin(origin);
            fillInBands(painter, fill, tile_);
        }
    } else {
        QImage scaled = tile_.textureImage();
        scaled.setDevicePixelRatio(ratio);
        painter.setBrushOrigin(origin);
        fillInBands(painter, fill, QBrush(scaled));
    }
    painter.restore();
}

// The pixels a fill with the tile from the brush origin would give, copied from the strip:
// a copy is a plain loop over the rows, where a textured fill takes each row through span
// functions. The tile's pixels are the same all across the line, so only the phase along
// it counts, taken from the origin as the raster engine takes a tiled brush's.
void LineShape::drawStrip(QPainter& painter, const QImage& tile, const QRect& fill, QPointF origin,
                          bool horizontal) const {
    // A tile or strip too large to allocate is null: nothing is drawn rather than a
    // division by its empty period or a copy from no pixels.
    if (fill.isEmpty() || tile.isNull()) return;
    const int period = horizontal ? tile.width() : tile.height();
    const int length = horizontal ? fill.width() : fill.height();
    if ((horizontal ? strip_.width() : strip_.height()) < length + period) {
        // Made with room to grow, as a dragged line grows step by step; the tile repeated
        // from the corner, as a fill with the tile would give, but copied pixel by pixel:
        // the fill of a tall strip would go to worker threads.
        const int along = std::max(2 * length, 256) + period;
        strip_ = QImage(horizontal ? QSize(along, tile.height()) : QSize(tile.width(), along),
                        QImage::Format_ARGB32_Premultiplied);
        if (strip_.isNull()) return;
        const QImage source = tile.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < strip_.height(); ++y) {
            const auto* from =
                reinterpret_cast<const QRgb*>(source.constScanLine(y % source.height()));
            auto* to = reinterpret_cast<QRgb*>(strip_.scanLine(y));
            for (int x = 0; x < strip_.width(); ++x) to[x] = from[x % source.width()];
        }
    }
    const int from = horizontal ? fill.left() : fill.top();
    const int start = qRound((horizontal ? origin.x() : origin.y()) + 1.0 / 65536);
    const int phase = ((from - start) % period + period) % period;
    const QRect source = horizontal ? QRect(phase, 0, fill.width(), fill.height())
                                    : QRect(0, phase, fill.width(), fill.height());
    // In bands of rows, for the reason fillInBands gives: a tall copy goes to worker threads.
    for (int band = 0; band < source.height(); band += kBandRows) {
        const int rows = std::min(kBandRows, source.height() - band);
        painter.drawImage(fill.topLeft() + QPoint(0, band), strip_,
                          QRect(source.x(), source.y() + band, source.width(), rows));
    }
}

// A textured fill goes row by row through span functions, which the raster engine hands
// to worker threads beyond about 96 rows, at several thread switches a fill. The same fill
// clipped to bands of fewer rows covers the same pixels on this thread. The bands overlap
// by a row, however their edges round, and a pixel filled twice is the same opaque or
// empty pixel of the tile; so not with antialiasing, whose edge rows would blend twice.
void LineShape::fillInBands(QPainter& painter, const QRectF& fill, const QBrush& brush) {
    const QTransform toDevice = painter.deviceTransform();
    const double scale = toDevice.m22();
    const double rows = fill.height() * scale;
    if (fill.width() * toDevice.m11() > fill.height() * scale || rows <= kBandRows || scale <= 0 ||
        painter.testRenderHint(QPainter::Antialiasing) || toDevice.type() > QTransform::TxScale) {
        painter.fillRect(fill, brush);
        return;
    }
    const QRectF wide = fill.adjusted(-1, 0, 1, 0);
    double top = fill.top();
    while (top < fill.bottom()) {
        const double row = std::floor(top * scale + toDevice.dy()) + kBandRows;
        const double next = std::min(fill.bottom(), (row - toDevice.dy()) / scale);
        painter.save();
        const double overlap = 1 / scale;
        painter.setClipRect(
            QRectF(wide.left(), top - overlap, wide.width(), next - top + 2 * overlap),
            Qt::IntersectClip);
        painter.fillRect(fill, brush);
        painter.restore();
        top = next;
    }
}

// The ends already keep their place on the screen, whatever the scale.
void LineShape::rescale(const UserScale&, const UserScale&) {}

}  // namespace forms
