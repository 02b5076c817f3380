// SPDX-License-Identifier: GPL-3.0-or-later
#include "timer.h"

#include <algorithm>

#include "repaintareas.h"

namespace forms {

Timer::Timer(const TimerDesign& design, TimerDriver& driver)
    : Control(design.name), driver_(driver), interval_(design.interval), enabled_(design.enabled) {
    rearm();
}

Timer::~Timer() {
    driver_.cancel(*this);
}

void Timer::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    rearm();
}

void Timer::setInterval(int interval) {
    if (interval_ == interval) return;
    interval_ = interval;
    rearm();
}

void Timer::rearm() {
    driver_.cancel(*this);
    if (enabled_ && interval_ > 0) driver_.schedule(*this, std::max(interval_, kGranularityMs));
}

void Timer::tick() {
    const RepaintBatch batch;
    if (enabled_ && interval_ > 0 && onTimer) onTimer();
}

}  // namespace forms
