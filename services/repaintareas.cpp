// SPDX-License-Identifier: GPL-3.0-or-later
#include "repaintareas.h"

#include <algorithm>

namespace forms {

namespace {

// About what one more clipped pass over a surface's controls costs, in pixels copied.
constexpr qint64 kJoinSlack = 6000;
constexpr std::size_t kMostAreas = 8;

qint64 pixels(const QRect& rect) {
    return qint64(rect.width()) * rect.height();
}

}  // namespace

QRect RepaintAreas::add(QRect area) {
    if (area.isEmpty()) return {};
    // Inside a marked area the widget already knows of it: telling it again costs a pass
    // through its dirty region, and a drag step marks dozens of overlapping areas.
    if (std::any_of(areas_.begin(), areas_.end(), [&area](const QRect& marked) { return marked.contains(area); }))
        return {};
    for (bool joined = true; joined;) {
        joined = false;
        for (auto it = areas_.begin(); it != areas_.end(); ++it) {
            const QRect both = *it | area;
            if (pixels(both) <= pixels(*it) + pixels(area) + kJoinSlack || areas_.size() >= kMostAreas) {
                area = both;
                areas_.erase(it);
                joined = true;
                break;
            }
        }
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
