// SPDX-License-Identifier: GPL-3.0-or-later
// The user scale of a container: the units its drawing, mouse positions and child
// controls use. A window's own scale is twips; a canvas takes any scale by Scale.
// Beware: with a negative height the y axis points up, so user y grows as pixel y falls.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace forms {

inline constexpr double kTwipsPerPixel = 15.0;

// Window placement snaps to whole logical pixels.
inline int twipsToPixels(double twips) {
    return static_cast<int>(twips >= 0 ? twips / kTwipsPerPixel + 0.5
                                       : twips / kTwipsPerPixel - 0.5);
}

// One axis of a scale: which user coordinate lies at which logical pixel along it.
struct ScaleAxis {
    double origin = 0;  // the user coordinate at pixel 0
    double extent = 1;  // user units across the whole axis, negative when they run backwards
    double pixels = 1;  // logical pixels across it

    double toPixels(double user) const { return (user - origin) * pixels / extent; }
    double toUser(double pixel) const { return origin + pixel * extent / pixels; }
    bool operator==(const ScaleAxis&) const = default;
};

class UserScale {
public:
    UserScale() = default;
    // The user rectangle (left, top, width, height) laid over pixelSize logical pixels.
    UserScale(double left, double top, double width, double height, QSizeF pixelSize);

    // Twips over an area of the given logical pixel size: 15 twips a pixel, y down.
    static UserScale twips(QSizeF pixelSize);

    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    QSizeF pixelSize() const { return pixelSize_; }
    ScaleAxis xAxis() const { return {left_, width_, pixelSize_.width()}; }
    ScaleAxis yAxis() const { return {top_, height_, pixelSize_.height()}; }

    double xToPixels(double userX) const { return (userX - left_) * pixelSize_.width() / width_; }
    double yToPixels(double userY) const { return (userY - top_) * pixelSize_.height() / height_; }
    QPointF toPixels(double userX, double userY) const {
        return {xToPixels(userX), yToPixels(userY)};
    }
    // Lengths, always positive, whatever the direction of the axis.
    double widthToPixels(double userWidth) const;
    double heightToPixels(double userHeight) const;

    QPointF toUser(QPointF pixelPoint) const;
    double widthToUser(double pixelWidth) const;
    double heightToUser(double pixelHeight) const;

private:
    double left_ = 0;
    double top_ = 0;
    double width_ = 1;
    double height_ = 1;
    QSizeF pixelSize_{1, 1};
};

}  // namespace forms
