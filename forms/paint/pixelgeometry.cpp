// SPDX-License-Identifier: GPL-3.0-or-later
#include "pixelgeometry.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace forms {

std::optional<QLineF> clipSegment(QPointF a, QPointF b, const QRectF& rect) {
    if (!isFinitePoint(a) || !isFinitePoint(b)) return std::nullopt;
    // Liang-Barsky: the segment is a + t (b - a) for t in [0, 1].
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0;
    double t1 = 1;
    int enter = -1;
    int leave = -1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - rect.left(), rect.right() - a.x(), a.y() - rect.top(),
                         rect.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return std::nullopt;
            if (t > t0) {
                t0 = t;
                enter = i;
            }
        } else {
            if (t < t0) return std::nullopt;
            if (t < t1) {
                t1 = t;
                leave = i;
            }
        }
    }
    // The clipped ends are put on the boundary they cross rather than computed as
    // a + t (b - a): with ends far away that sum cancels and loses the line's position.
    const double bounds[4] = {rect.left(), rect.right(), rect.top(), rect.bottom()};
    const auto onBoundary = [&](int side, QPointF end) {
        if (side < 0) return end;
        if (side < 2) return QPointF(bounds[side], a.y() + (bounds[side] - a.x()) * (dy / dx));
        return QPointF(a.x() + (bounds[side] - a.y()) * (dx / dy), bounds[side]);
    };
    return QLineF(onBoundary(enter, a), onBoundary(leave, b));
}

namespace {

double snapForWidth(double coordinate, long width) {
    return width % 2 == 1 ? std::floor(coordinate) + 0.5 : std::round(coordinate);
}

long devicePenWidth(int penWidth, double ratio) {
    return std::max(1L, std::lround(penWidth * ratio));
}

}  // namespace

double snapToPixelGrid(double coordinate, int penWidth, double ratio) {
    const double logical = snapForWidth(coordinate, penWidth);
    if (ratio == 1) return logical;
    return snapForWidth(logical * ratio, devicePenWidth(penWidth, ratio)) / ratio;
}

double snappedPenWidth(int penWidth, double ratio) {
    return double(devicePenWidth(penWidth, ratio)) / ratio;
}

double deviceRatio(const QPaintDevice* device) {
    if (!device) return 1.0;
    if (device->devType() == QInternal::Widget) {
        const QWidget* window = static_cast<const QWidget*>(device)->window();
        if (const QWindow* handle = window->windowHandle()) return handle->devicePixelRatio();
    }
    return device->devicePixelRatioF();
}

double renderRatio(const QPainter& painter) {
    const double device = deviceRatio(painter.device());
    return device * std::abs(painter.worldTransform().m11());
}

QPointF snapToDevicePixel(QPointF point, double ratio) {
    return {std::round(point.x() * ratio) / ratio, std::round(point.y() * ratio) / ratio};
}

void drawDevicePixels(QPainter& painter, QPointF topLeft, const QImage& image) {
    // An image that could not be allocated is null: there is nothing to copy.
    if (image.isNull()) return;
    const QTransform world = painter.worldTransform();
    if (world.type() > QTransform::TxScale) {
        painter.drawImage(topLeft, image);
        return;
    }
    const double device = deviceRatio(painter.device());
    const QPointF at = world.map(topLeft) * device;
    // The transform alone is put back: a save would copy the painter's clip as well.
    painter.setWorldTransform(QTransform());
    painter.drawImage(QRectF(QPointF(std::round(at.x()), std::round(at.y())) / device,
                             QSizeF(image.size()) / device),
                      image, QRectF(image.rect()));
    painter.setWorldTransform(world);
}

QRectF segmentBounds(QPointF a, QPointF b, double penWidth) {
    // A rectangle keeps its left edge and its width, so with one end 1e31 pixels away the
    // other edge would be lost to rounding and the visible part of the segment left out.
    // Limited to a range far beyond any surface, the rectangle stays exact where it matters.
    static constexpr double kFar = 1e6;
    const auto limit = [](double pixels) { return std::clamp(pixels, -kFar, kFar); };
    const double margin = penWidth / 2 + 1.5;
    return QRectF(QPointF(limit(std::min(a.x(), b.x())), limit(std::min(a.y(), b.y()))),
                  QPointF(limit(std::max(a.x(), b.x())), limit(std::max(a.y(), b.y()))))
        .adjusted(-margin, -margin, margin, margin);
}

std::vector<QRectF> segmentPieces(QPointF a, QPointF b, double penWidth, const QRectF& within) {
    // A piece's shorter side: below it the pieces' own margins outweigh what they save.
    static constexpr double kPieceSide = 24;
    static constexpr double kMostPieces = 16;
    const double margin = penWidth / 2 + 1.5;
    const auto part = clipSegment(a, b, within.adjusted(-margin, -margin, margin, margin));
    if (!part) return {};
    const double shorter = std::min(std::abs(part->dx()), std::abs(part->dy()));
    const int count = int(std::clamp(std::floor(shorter / kPieceSide), 1.0, kMostPieces));
    std::vector<QRectF> pieces;
    pieces.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const QPointF from = i == 0 ? part->p1() : part->pointAt(double(i) / count);
        const QPointF to = i + 1 == count ? part->p2() : part->pointAt(double(i + 1) / count);
        pieces.push_back(QRectF(from, to).normalized().adjusted(-margin, -margin, margin, margin));
    }
    return pieces;
}

QRect coveringPixels(const QRectF& rect, const QRect& limit) {
    if (!std::isfinite(rect.left()) || !std::isfinite(rect.top()) || !std::isfinite(rect.right()) ||
        !std::isfinite(rect.bottom()))
        return {};
    const double left = std::max(std::floor(rect.left()), double(limit.left()));
    const double top = std::max(std::floor(rect.top()), double(limit.top()));
    const double right = std::min(std::ceil(rect.right()), double(limit.right() + 1));
    const double bottom = std::min(std::ceil(rect.bottom()), double(limit.bottom() + 1));
    if (left >= right || top >= bottom) return {};
    return QRect(QPoint(int(left), int(top)), QPoint(int(right) - 1, int(bottom) - 1));
}

bool isFinitePoint(QPointF point) {
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

}  // namespace forms
