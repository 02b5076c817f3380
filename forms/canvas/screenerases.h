// SPDX-License-Identifier: GPL-3.0-or-later
// Where the canvas's screen-only drawing lies and what has erased it. A windowless control
// that moves or changes erases the screen-only drawing under its old and new bounds, as the
// classic picture box did; the erase is done when the layer is next drawn on or shown, and
// remembered while older drawing remains, so that drawing it afresh at a new zoom leaves
// out again what was erased.
#pragma once

#include <QRect>
#include <QRegion>
#include <cstdint>
#include <optional>
#include <vector>

namespace forms {

class CanvasLayers;
struct Mark;

class ScreenErases {
public:
    explicit ScreenErases(CanvasLayers& layers) : layers_(layers) {}

    // Where the screen-only layer holds anything, in the canvas's pixels at zoom 1.
    const QRegion& drawing() const { return screenDrawing_; }
    void drawn(const QRect& area) { screenDrawing_ += area; }

    // Asks for an area to be erased at the next settle.
    void erase(const QRect& area);
    // Does the erases asked for: the drawing waiting to be shown is painted first, so under
    // them; then their pixels are cleared and the marks they wholly took are forgotten.
    void settle();
    // The device pixels of a kept mark that no later erase took, or nothing when none
    // reached it.
    std::optional<QRegion> left(const Mark& mark, double ratio) const;

    // At a clear all screen-only drawing goes, and with it what was to erase it.
    void clear();
    // When the layer stops keeping marks there is nothing left to clip.
    void forgetDone() { screenErases_.clear(); }

private:
    struct ScreenErase {
        std::uint64_t serial;  // erases what marks of a lower serial drew
        QRect area;
    };

    void checkInvariants() const;

    CanvasLayers& layers_;
    // Every pixel the screen-only image holds lies in screenDrawing_ (it may hold more:
    // an erase takes its area out only once settled, a clear takes out all).
    QRegion screenDrawing_;
    // Erases asked for since the layer was last drawn on or shown, not yet done to its
    // pixels nor to its marks: a clear before then makes them needless, as when a lesson
    // moves its labels and then clears its arcs. Never the same area twice in a row.
    std::vector<QRect> pendingErases_;
    // The erases done, in the order done, their serials rising. Each is kept while a mark
    // older than it remains (its serial above the first mark's), and each kept mark's
    // uncovered part is its reach less the kept erases of a higher serial; a mark with
    // nothing uncovered is dropped. Only settle, clear and forgetDone change them.
    std::vector<ScreenErase> screenErases_;
};

}  // namespace forms
