// SPDX-License-Identifier: GPL-3.0-or-later
#include "repaintareas.h"

#include <algorithm>

namespace forms {

namespace {

// About what one more clipped pass over a surface's controls costs, in pixels copied: a
// pass paints every control it meets again, a wide line's whole outline and every
// label's picture included. Counted with callgrind under real X, a drag step with its paint cost
// least from here to five times as much, at 100 % and at full screen alike; at a fifth of
// it, skelvin's full-screen step cost half as much again.
constexpr qint64 kJoinSlack = 30000;
constexpr std::size_t kMostAreas = 16;

qint64 pixels(const QRect& rect) {
    return qint64(rect.width()) * rect.height();
}

}  // namespace

bool worthPieces(const QRect& deviceArea) {
    // Measured under real X: skelvin's line across the canvas gains from pieces already at
    // 100 %; dorvane's segment, mostly under this at 100 %, neither gains nor loses. A
    // smaller area gains too few pixels for the passes the pieces add.
    constexpr qint64 kLeastArea = 50000;
    return pixels(deviceArea) >= kLeastArea;
}

QRect RepaintAreas::add(QRect area) {
    if (area.isEmpty()) return {};
    // Inside a marked area the widget already knows of it: telling it again costs a pass
    // through its dirty region, and a drag step marks dozens of overlapping areas.
    if (std::any_of(areas_.begin(), areas_.end(),
                    [&area](const QRect& marked) { return marked.contains(area); }))
        return {};
    // Joined with the area whose rectangle round both adds the fewest pixels, while that is
    // within the slack or there are too many areas.
    while (!areas_.empty()) {
        auto best = areas_.end();
        qint64 leastExtra = 0;
        for (auto it = areas_.begin(); it != areas_.end(); ++it) {
            const qint64 extra = pixels(*it | area) - pixels(*it) - pixels(area);
            if (best == areas_.end() || extra < leastExtra) {
                best = it;
                leastExtra = extra;
            }
        }
        if (leastExtra > kJoinSlack && areas_.size() < kMostAreas) break;
        area |= *best;
        areas_.erase(best);
    }
    areas_.push_back(area);
    return area;
}

std::vector<QRect> RepaintAreas::take(const QRegion& region) {
    std::vector<QRect> marked;
    marked.swap(areas_);
    QRegion covered;
    for (const QRect& area : marked) covered += area;
    if (!(region - covered).isEmpty()) return {region.begin(), region.end()};
    std::vector<QRect> parts;
    for (const QRect& area : marked)
        if (const QRect part = area & region.boundingRect(); !part.isEmpty()) parts.push_back(part);
    return parts;
}

}  // namespace forms
