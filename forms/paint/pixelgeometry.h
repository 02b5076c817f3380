// SPDX-License-Identifier: GPL-3.0-or-later
// Pixel geometry shared by the controls and the canvas. Positions may lie thousands of
// canvas widths away (a drag that leaves the canvas keeps reporting), so everything is
// clipped in double precision before it reaches the painter's integer paths.
#pragma once

#include <QLineF>
#include <QRect>
#include <QRectF>
#include <optional>
#include <vector>

class QImage;
class QPaintDevice;
class QPainter;

namespace forms {

// The part of the segment a-b inside rect, or nothing when it misses it.
std::optional<QLineF> clipSegment(QPointF a, QPointF b, const QRectF& rect);

// Puts a coordinate on the pixel grid the way the classic platform draws: an odd pen
// width is centred in a pixel, an even one on a pixel boundary, so lines stay crisp.
// At a ratio other than 1 (zoom times device pixel ratio) the point found at 1:1 is put
// again on the device grid for the pen's device width; the result is in logical pixels.
double snapToPixelGrid(double coordinate, int penWidth, double ratio = 1);

// The pen width in logical pixels that covers whole device pixels at the ratio.
double snappedPenWidth(int penWidth, double ratio);

// Device pixels to one logical pixel of a paint device (1 without one). A widget's is its
// window's: asked of the widget itself, Qt looks up the widget's screen first, which
// costs more than painting a small control.
double deviceRatio(const QPaintDevice* device);

// Device pixels to one logical pixel of a painter: the device's pixel ratio times the
// zoom the painter was scaled by.
double renderRatio(const QPainter& painter);

// Where a logical position lands on whole device pixels at the ratio, in logical pixels.
QPointF snapToDevicePixel(QPointF point, double ratio);

// Draws an image whose pixels are the device's own (drawn at the painter's render ratio)
// with its top left corner at a point: with the painter's zoom undone, so that the raster
// engine copies the rows one to one instead of scaling them by a factor of one.
void drawDevicePixels(QPainter& painter, QPointF topLeft, const QImage& image);

// The rectangle a segment covers when drawn with the given pen width.
QRectF segmentBounds(QPointF a, QPointF b, double penWidth);

// Rectangles that together cover a segment drawn with the given pen width, as much of it as
// lies within a rectangle. A slanted segment gets pieces along it: the one rectangle round
// it grows with the square of its length, and most of it is untouched.
std::vector<QRectF> segmentPieces(QPointF a, QPointF b, double penWidth, const QRectF& within);

// Whole pixels covering rect, limited to limit (empty when they do not meet).
QRect coveringPixels(const QRectF& rect, const QRect& limit);

// True when every coordinate is finite.
bool isFinitePoint(QPointF point);

}  // namespace forms
