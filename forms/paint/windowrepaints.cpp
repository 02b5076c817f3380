// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowrepaints.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace forms {

namespace {

// Long enough to be seen at a glance, short enough that a drag leaves a trail, not a smear.
constexpr int kOutlineMs = 150;
// A colour no lesson draws, and no blend of two of theirs.
constexpr QRgb kOutlineColor = qRgb(255, 0, 160);

}  // namespace

WindowRepaints::WindowRepaints(QWidget& window)
    : QObject(&window), outlined_(qEnvironmentVariable("LESSONS_SHOW_REPAINTS") == u"1") {
    outlineTimer_.setSingleShot(true);
    connect(&outlineTimer_, &QTimer::timeout, this, &WindowRepaints::removeDueOutlines);
}

WindowRepaints& WindowRepaints::of(QWidget& widget) {
    QWidget* window = widget.window();
    if (auto* own = window->findChild<WindowRepaints*>(QString(), Qt::FindDirectChildrenOnly))
        return *own;
    return *new WindowRepaints(*window);
}

WindowRepaints::Entry& WindowRepaints::entryFor(QWidget& widget) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&widget](const Entry& entry) { return entry.widget == &widget; });
    if (it != entries_.end()) return *it;
    std::erase_if(entries_, [](const Entry& entry) { return !entry.widget; });
    return entries_.emplace_back(Entry{&widget, {}, {}, {}, {}});
}

void WindowRepaints::mark(QWidget& widget, const QRect& area) {
    Entry& entry = entryFor(widget);
    const QRect joined = entry.marked.add(area);
    if (joined.isEmpty()) return;
    if (depth_ == 0) {
        widget.update(joined);
        return;
    }
    // An area joined into a larger one is marked again as the larger: only that is told.
    std::erase_if(entry.held, [&joined](const QRect& earlier) { return joined.contains(earlier); });
    entry.held.push_back(joined);
}

void WindowRepaints::place(QWidget& widget, const QRect& geometry) {
    if (depth_ == 0)
        widget.setGeometry(geometry);
    else
        entryFor(widget).geometry = geometry;
}

void WindowRepaints::tellNow() {
    tellHeld();
}

void WindowRepaints::tellHeld() {
    struct Told {
        QPointer<QWidget> widget;
        std::vector<QRect> areas;
        std::optional<QRect> geometry;
    };
    // Moving a widget may mark areas again, so nothing of entries_ is held while telling.
    std::vector<Told> told;
    for (Entry& entry : entries_) {
        if (entry.held.empty() && !entry.geometry) continue;
        told.push_back({entry.widget, std::move(entry.held), entry.geometry});
        entry.held.clear();
        entry.geometry.reset();
    }
    for (const Told& widget : told) {
        if (!widget.widget) continue;
        if (widget.geometry) widget.widget->setGeometry(*widget.geometry);
        for (const QRect& area : widget.areas) widget.widget->update(area);
    }
}

std::vector<QRect> WindowRepaints::take(QWidget& widget, const QRegion& region) {
    return entryFor(widget).marked.take(region);
}

void WindowRepaints::painted(QWidget& widget, QPainter& painter, const std::vector<QRect>& rects) {
    if (!outlined_ || !outlinesPainted_) return;
    Entry& entry = entryFor(widget);
    if (!clock_.isValid()) clock_.start();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(kOutlineColor), 0));
    painter.setBrush(Qt::NoBrush);
    for (const QRect& rect : rects) {
        // The repaint that removes an outline is not one to show.
        if ((QRegion(rect) - entry.fading).isEmpty()) continue;
        painter.setClipRect(rect);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        outlines_.push_back({&widget, rect, clock_.elapsed() + kOutlineMs});
    }
    painter.restore();
    for (const QRect& rect : rects) entry.fading -= rect;
    if (!outlineTimer_.isActive() && !outlines_.empty()) outlineTimer_.start(kOutlineMs);
}

void WindowRepaints::removeDueOutlines() {
    const qint64 now = clock_.elapsed();
    while (!outlines_.empty() && outlines_.front().dueMs <= now) {
        const Outline outline = outlines_.front();
        outlines_.pop_front();
        if (!outline.widget) continue;
        entryFor(*outline.widget).fading += outline.rect;
        // Past the marks, so the paint takes the rectangle as asked.
        outline.widget->update(outline.rect);
    }
    if (!outlines_.empty())
        outlineTimer_.start(int(std::max<qint64>(outlines_.front().dueMs - now, 1)));
}

RepaintBatch::RepaintBatch(QWidget& widget) : windows_{&WindowRepaints::of(widget)} {
    ++windows_.front()->depth_;
}

RepaintBatch::RepaintBatch() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* own = window->findChild<WindowRepaints*>(QString(), Qt::FindDirectChildrenOnly);
        if (!own) continue;
        ++own->depth_;
        windows_.emplace_back(own);
    }
}

RepaintBatch::~RepaintBatch() {
    for (const QPointer<WindowRepaints>& window : windows_) {
        if (!window) continue;
        --window->depth_;
        window->tellHeld();
    }
}

RepaintBatch::Pause::Pause(QWidget& widget)
    : window_(&WindowRepaints::of(widget)), depth_(window_->depth_) {
    window_->tellHeld();
    window_->depth_ = 0;
}

RepaintBatch::Pause::~Pause() {
    if (window_) window_->depth_ = depth_;
}

}  // namespace forms
