// SPDX-License-Identifier: GPL-3.0-or-later
// A program's icon drawn in code once for every pixel size, so that a small icon gets
// strokes on whole pixels of its own instead of a blurred copy of the large drawing. The
// window icon and the icons installed for the desktop come from the same artwork.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <array>
#include <functional>

namespace forms {

class IconArtwork {
public:
    // Paints the icon over (0, 0)-(side, side) in device pixels, onto transparency.
    using Paint = std::function<void(QPainter&, int side)>;

    // The sizes a desktop asks for; the icon is drawn afresh at each.
    static constexpr std::array<int, 7> kSides = {16, 24, 32, 48, 64, 128, 256};

    IconArtwork() = default;
    explicit IconArtwork(Paint paint) : paint_(std::move(paint)) {}

    bool isNull() const { return !paint_; }
    QImage image(int side) const;
    QIcon icon() const;
    // Paints with antialiasing into any painter, a vector one included.
    void paint(QPainter& painter, int side) const;

private:
    Paint paint_;
};

// Drawing helpers that keep thin strokes sharp at small sizes.
namespace icondraw {

// A stroke width in whole pixels for `fraction` of the side, never under one pixel.
int strokeWidth(int side, double fraction);
// The centre of the pixel row or column nearest to `position`, for a stroke of odd width,
// or its pixel edge for an even width, so that straight strokes fill whole pixels.
double snap(double position, int width);
// A dotted straight line of round dots of `width` pixels with a gap of one dot between
// them, ending on dots at both ends.
void dottedLine(QPainter& painter, QPointF from, QPointF to, int width, const QColor& color);
// The rounded tile every lesson's icon stands on: a pale fill with a darker rim of the
// lesson's own colour.
void tile(QPainter& painter, int side, const QColor& fill, const QColor& rim);

}  // namespace icondraw

}  // namespace forms
