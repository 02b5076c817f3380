// SPDX-License-Identifier: GPL-3.0-or-later
#include "zoom.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

#include "userscale.h"

namespace forms {

double zoomStepAbove(double percent) {
    for (int step : kZoomSteps) {
        if (step > percent) return step;
    }
    return std::max(percent, double(kZoomSteps[std::size(kZoomSteps) - 1]));
}

double zoomStepBelow(double percent) {
    for (auto step = std::rbegin(kZoomSteps); step != std::rend(kZoomSteps); ++step) {
        if (*step < percent) return *step;
    }
    return std::min(percent, double(kZoomSteps[0]));
}

double fittingZoom(QSize designSize, QSize area) {
    if (designSize.isEmpty() || area.isEmpty()) return 1;
    return std::min(double(area.width()) / designSize.width(),
                    double(area.height()) / designSize.height());
}

void placeZoomed(QWidget& widget, const TwipsRect& rect, const FontSpec& font, double zoom) {
    // The design's whole pixels are zoomed edge by edge, so that neighbouring controls
    // stay neighbours and zoom 1 is the design exactly.
    const auto at = [zoom](int pixels) { return int(std::lround(pixels * zoom)); };
    const int left = twipsToPixels(rect.left);
    const int top = twipsToPixels(rect.top);
    widget.setGeometry(at(left), at(top), at(left + twipsToPixels(rect.width)) - at(left),
                       at(top + twipsToPixels(rect.height)) - at(top));
    QFont zoomed = toQFont(font);
    zoomed.setPixelSize(int(std::max(1L, std::lround(pixelSizeForPoints(font.points) * zoom))));
    widget.setFont(zoomed);
}

}  // namespace forms
