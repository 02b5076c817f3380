// SPDX-License-Identifier: GPL-3.0-or-later
// The window's client area: it paints the windowless controls placed directly on the
// window and delivers clicks to its images. Windowed controls are its child widgets.
#pragma once

#include <QWidget>
#include <functional>

#include "color.h"
#include "control.h"
#include "repaintareas.h"

namespace forms {

class Image;

class FormWindow : public QWidget, public Surface, public WindowlessHost {
    Q_OBJECT
public:
    FormWindow(QSize clientPixels, Color backColor);

    // The client area's size in logical pixels at zoom 1, as designed.
    QSize designSize() const { return designSize_; }
    Color backColor() const { return backColor_; }
    // Paints the windowless controls enlarged by zoom; the window's own size is left to
    // whoever holds it.
    void setZoom(double zoom);
    double zoom() const { return zoom_; }
    double surfaceZoom() const override { return zoom_; }

    const UserScale& scale() const override { return scale_; }
    void repaintArea(const QRectF& pixelRect, Erase erase, std::vector<QRectF> pieces) override;
    void addWindowless(Windowless& control) { layer_.add(control); }
    const std::vector<Windowless*>& windowlessControls() const override {
        return layer_.controls();
    }

    std::function<void()> onResized;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Image* imageAt(QPointF point) const;

    QSize designSize_;
    UserScale scale_;
    Color backColor_;
    double zoom_ = 1;
    RepaintAreas pending_;
    WindowlessLayer layer_;
    Image* pressed_ = nullptr;
};

}  // namespace forms
