// SPDX-License-Identifier: GPL-3.0-or-later
#include "repaintareas.h"

#include <QPointer>
#include <QWidget>
#include <algorithm>

namespace forms {

namespace {

// About what one more clipped pass over a surface's controls costs, in pixels copied.
constexpr qint64 kJoinSlack = 6000;
constexpr std::size_t kMostAreas = 16;

qint64 pixels(const QRect& rect) {
    return qint64(rect.width()) * rect.height();
}

struct Held {
    QPointer<QWidget> widget;
    std::vector<QRect> areas;
};

int batchDepth = 0;
std::vector<Held> held;

void tellHeld() {
    std::vector<Held> told;
    told.swap(held);
    for (const Held& widget : told)
        if (widget.widget)
            for (const QRect& area : widget.areas) widget.widget->update(area);
}

}  // namespace

bool worthPieces(const QRect& deviceArea) {
    // Measured under real X: skelvin's line across the canvas gains from pieces already at
    // 100 %; dorvane's segment, mostly under this at 100 %, neither gains nor loses. A
    // smaller area gains too few pixels for the passes the pieces add.
    static constexpr qint64 kLeastArea = 50000;
    return pixels(deviceArea) >= kLeastArea;
}

RepaintBatch::RepaintBatch() {
    ++batchDepth;
}

RepaintBatch::~RepaintBatch() {
    --batchDepth;
    tellHeld();
}

void RepaintBatch::update(QWidget& widget, const QRect& area) {
    if (batchDepth == 0) {
        widget.update(area);
        return;
    }
    auto it = std::find_if(held.begin(), held.end(),
                           [&widget](const Held& h) { return h.widget == &widget; });
    if (it == held.end()) it = held.insert(held.end(), Held{&widget, {}});
    // An area joined into a larger one is marked again as the larger: only that is told.
    std::erase_if(it->areas, [&area](const QRect& earlier) { return area.contains(earlier); });
    it->areas.push_back(area);
}

RepaintBatch::Pause::Pause() : depth_(batchDepth) {
    tellHeld();
    batchDepth = 0;
}

RepaintBatch::Pause::~Pause() {
    batchDepth = depth_;
}

QRect RepaintAreas::add(QRect area) {
    if (area.isEmpty()) return {};
    // Inside a marked area the widget already knows of it: telling it again costs a pass
    // through its dirty region, and a drag step marks dozens of overlapping areas.
    if (std::any_of(areas_.begin(), areas_.end(), [&area](const QRect& marked) { return marked.contains(area); }))
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
