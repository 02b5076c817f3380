// SPDX-License-Identifier: GPL-3.0-or-later
// A picture as an image control shows it: a fixed size in pixels and artwork drawn in
// code, so that it stays crisp at any device pixel ratio. Unlike a classic bitmap
// resource, the picture is rendered on demand and cached per device pixel ratio.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <functional>
#include <memory>

namespace forms {

class Picture {
public:
    // Paints the artwork in logical pixels over the rectangle (0, 0)-(size).
    using Artwork = std::function<void(QPainter&)>;

    Picture() = default;
    // The artwork is drawn over the background colour, white unless told otherwise
    // (Qt::transparent lets the surface behind the picture show through).
    Picture(QSize pixelSize, Artwork artwork, QColor background = Qt::white);

    bool isNull() const { return !artwork_; }
    QSize pixelSize() const { return pixelSize_; }

    // The picture rendered at the given device pixel ratio; rendered once per ratio.
    const QImage& rendered(qreal devicePixelRatio) const;
    // Paints background and artwork as vectors, over (0, 0)-(pixelSize) in the painter's
    // current coordinates.
    void paint(QPainter& painter) const;

private:
    QSize pixelSize_;
    Artwork artwork_;
    QColor background_ = Qt::white;
    struct Cache {
        qreal devicePixelRatio = 0;
        QImage image;
    };
    std::shared_ptr<Cache> cache_ = std::make_shared<Cache>();
};

}  // namespace forms
