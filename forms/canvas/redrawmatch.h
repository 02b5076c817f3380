// SPDX-License-Identifier: GPL-3.0-or-later
// A persistent picture kept through a clear and compared with the calls that follow it. A
// lesson that clears and draws the same again at every pointer movement (quillet's axes)
// would otherwise repaint the whole canvas for nothing: the calls that draw what the
// picture already holds, where it holds it, change no pixel. The picture is cleared only
// from the first call that differs, or at the next paint if fewer came.
#pragma once

#include <QColor>
#include <QRect>
#include <QRegion>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "canvaslayers.h"

namespace forms {

class RedrawMatch {
public:
    explicit RedrawMatch(CanvasLayers& layers) : layers_(layers) {}

    // At a clear of the persistent layer: keeps its picture and its calls to compare the
    // next calls with, and empties its list. False when there is nothing to compare with;
    // the layer is then left for the caller to clear.
    [[nodiscard]] bool begin();
    bool comparing() const { return redrawing_.has_value(); }
    // Whether a call is the one the picture holds next; if so it is kept, undrawn.
    [[nodiscard]] bool same(Mark& mark);
    // Whether the last kept call drew what was there already; asked once, by the call.
    [[nodiscard]] bool takeUnchanged() { return std::exchange(keptUnchanged_, false); }

    // Ends the comparison where the calls part from the picture's (diverge), or because
    // the window is about to paint (settle, at the end of fewer calls than the picture's):
    // what the earlier calls drew from there on is cleared to the back colour over the
    // canvas's inner area, and the calls since that reach into it are drawn there again.
    // Returns what changed, in the canvas's pixels at zoom 1.
    [[nodiscard]] QRegion diverge(const QColor& backColor, const QRect& inner);
    [[nodiscard]] QRegion settle(const QColor& backColor, const QRect& inner);

private:
    // The marks of the picture kept through a clear, and how many calls since have drawn
    // them again in order.
    struct Redrawing {
        std::vector<Mark> before;
        std::size_t matched = 0;
    };

    void checkInvariants() const;

    CanvasLayers& layers_;
    // Present from a clear that kept the picture to the first call that differs or the
    // next paint. While it is, the persistent layer's marks are exactly before's first
    // matched ones (matched <= before.size()), and its image shows before's drawing: no
    // call since has painted on it. Only begin, same, diverge and settle change it.
    std::optional<Redrawing> redrawing_;
    // The last kept call drew what was there already: set by same, taken by the call's own
    // report at once, so false between calls.
    bool keptUnchanged_ = false;
};

}  // namespace forms
