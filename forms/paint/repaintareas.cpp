// SPDX-License-Identifier: GPL-3.0-or-later
#include "repaintareas.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <optional>

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

struct Held {
    QPointer<QWidget> widget;
    std::vector<QRect> areas;
    std::optional<QRect> geometry;
};

int batchDepth = 0;
std::vector<Held> held;
QElapsedTimer sinceTold;
QTimer* frameTimer = nullptr;
std::optional<qint64> frameOverride;

void tellHeld() {
    if (held.empty()) return;
    if (frameTimer) frameTimer->stop();
    std::vector<Held> told;
    told.swap(held);
    for (const Held& widget : told) {
        if (!widget.widget) continue;
        if (widget.geometry) widget.widget->setGeometry(*widget.geometry);
        for (const QRect& area : widget.areas) widget.widget->update(area);
    }
    sinceTold.start();
}

// The screen shows a new picture once a refresh: a paint more often than that is never seen.
qint64 frameNanoseconds() {
    if (frameOverride) return *frameOverride;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double rate = screen && screen->refreshRate() > 0 ? screen->refreshRate() : 60.0;
    return qint64(1e9 / std::clamp(rate, 30.0, 240.0));
}

// What a pointer or key event, or a timer's tick, changed is told at once when the last
// telling is a frame ago, else a frame after it, with whatever else changes meanwhile: a
// mouse that reports 125 times a second or more moves the figure twice or more a frame.
void tellHeldInTurn() {
    if (held.empty()) return;
    const qint64 frame = frameNanoseconds();
    const qint64 since = sinceTold.isValid() ? sinceTold.nsecsElapsed() : frame;
    if (since >= frame) {
        tellHeld();
        return;
    }
    if (!frameTimer) {
        frameTimer = new QTimer;
        frameTimer->setSingleShot(true);
        frameTimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(frameTimer, &QTimer::timeout, [] { tellHeld(); });
    }
    if (!frameTimer->isActive())
        frameTimer->start(int((frame - since + 999'999) / 1'000'000));
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
    if (--batchDepth == 0)
        tellHeldInTurn();
    else
        tellHeld();
}

void RepaintBatch::setFrameInterval(std::optional<std::chrono::nanoseconds> interval) {
    frameOverride.reset();
    if (interval) frameOverride = qint64(interval->count());
}

namespace {

Held& heldFor(QWidget& widget) {
    auto it = std::find_if(held.begin(), held.end(),
                           [&widget](const Held& h) { return h.widget == &widget; });
    if (it == held.end()) it = held.insert(held.end(), Held{&widget, {}, {}});
    return *it;
}

}  // namespace

void RepaintBatch::tellNow() {
    tellHeld();
}

void RepaintBatch::update(QWidget& widget, const QRect& area) {
    if (batchDepth == 0) {
        // Whatever waits for its frame shows with this, so the picture is never part old.
        tellHeld();
        widget.update(area);
        return;
    }
    Held& entry = heldFor(widget);
    // An area joined into a larger one is marked again as the larger: only that is told.
    std::erase_if(entry.areas, [&area](const QRect& earlier) { return area.contains(earlier); });
    entry.areas.push_back(area);
}

void RepaintBatch::place(QWidget& widget, const QRect& geometry) {
    if (batchDepth == 0) {
        tellHeld();
        widget.setGeometry(geometry);
        return;
    }
    heldFor(widget).geometry = geometry;
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
