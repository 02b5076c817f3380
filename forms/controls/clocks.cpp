// SPDX-License-Identifier: GPL-3.0-or-later
#include "clocks.h"

#include <QTimer>
#include <algorithm>

namespace forms {

RealTimeDriver::~RealTimeDriver() {
    for (auto& [timer, qtimer] : timers_) delete qtimer;
}

void RealTimeDriver::schedule(Timer& timer, int periodMs) {
    QTimer*& qtimer = timers_[&timer];
    if (!qtimer) {
        qtimer = new QTimer;
        qtimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(qtimer, &QTimer::timeout, [&timer] { timer.tick(); });
    }
    qtimer->start(periodMs);
}

void RealTimeDriver::cancel(Timer& timer) {
    auto it = timers_.find(&timer);
    if (it != timers_.end()) it->second->stop();
}

void VirtualClock::schedule(Timer& timer, int periodMs) {
    cancel(timer);
    entries_.push_back({&timer, now_ + periodMs, periodMs, nextOrder_++});
}

void VirtualClock::cancel(Timer& timer) {
    std::erase_if(entries_, [&](const Entry& entry) { return entry.timer == &timer; });
}

void VirtualClock::advance(std::int64_t ms) {
    const std::int64_t target = ms >= kEnd - now_ ? kEnd : now_ + std::max<std::int64_t>(ms, 0);
    for (;;) {
        auto next = std::min_element(entries_.begin(), entries_.end(), [](auto& a, auto& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
        if (next == entries_.end() || next->due > target) break;
        now_ = next->due;
        next->due += next->period;
        // The handler may schedule or cancel timers, so nothing of entries_ is held.
        next->timer->tick();
    }
    now_ = target;
}

}  // namespace forms
