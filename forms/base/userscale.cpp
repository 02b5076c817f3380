// SPDX-License-Identifier: GPL-3.0-or-later
#include "userscale.h"

#include <cmath>

namespace forms {

UserScale::UserScale(double left, double top, double width, double height, QSizeF pixelSize)
    : left_(left), top_(top), width_(width), height_(height), pixelSize_(pixelSize) {}

UserScale UserScale::twips(QSizeF pixelSize) {
    return UserScale(0, 0, pixelSize.width() * kTwipsPerPixel, pixelSize.height() * kTwipsPerPixel,
                     pixelSize);
}

double UserScale::widthToPixels(double userWidth) const {
    return std::abs(userWidth * pixelSize_.width() / width_);
}

double UserScale::heightToPixels(double userHeight) const {
    return std::abs(userHeight * pixelSize_.height() / height_);
}

QPointF UserScale::toUser(QPointF pixelPoint) const {
    return {left_ + pixelPoint.x() * width_ / pixelSize_.width(),
            top_ + pixelPoint.y() * height_ / pixelSize_.height()};
}

double UserScale::widthToUser(double pixelWidth) const {
    return std::abs(pixelWidth * width_ / pixelSize_.width());
}

double UserScale::heightToUser(double pixelHeight) const {
    return std::abs(pixelHeight * height_ / pixelSize_.height());
}

}  // namespace forms
