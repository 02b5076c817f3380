// SPDX-License-Identifier: GPL-3.0-or-later
// Zoom of a whole lesson window: the steps the keys go through, the largest zoom that
// fits a screen, and the zoomed place of a windowed control. A lesson never sees a zoom;
// its controls keep their design units.
#pragma once

#include <QSize>

#include "control.h"
#include "fonts.h"

class QWidget;

namespace forms {

inline constexpr int kZoomSteps[] = {100, 125, 150, 175, 200, 250, 300, 400};
inline constexpr double kMinZoomPercent = 50;
inline constexpr double kMaxZoomPercent = 400;

// The step above (below) a zoom in percent, or the zoom itself at the end of the steps.
double zoomStepAbove(double percent);
double zoomStepBelow(double percent);

// The largest zoom at which a client area of the design size fits the area, whole device
// pixels being no concern: the result may be any number.
double fittingZoom(QSize designSize, QSize area);

// Puts a windowed control at its design rectangle and font, enlarged by zoom.
void placeZoomed(QWidget& widget, const TwipsRect& rect, const FontSpec& font, double zoom);

}  // namespace forms
