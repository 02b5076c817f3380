// SPDX-License-Identifier: GPL-3.0-or-later
// A timer control. Like the classic platform, an interval below 16 ms ticks once every
// 16 ms, so a 100-step animation lasts long enough for a pupil to follow; an interval of
// 0 never ticks. Ticks come from a driver: the real clock in the window, a virtual one
// in tests and in the replay harness.
#pragma once

#include <cstdint>
#include <functional>

#include "control.h"

namespace forms {

class Timer;

class TimerDriver {
public:
    virtual ~TimerDriver() = default;
    // From now on, tick the timer every periodMs until it is cancelled.
    virtual void schedule(Timer& timer, int periodMs) = 0;
    virtual void cancel(Timer& timer) = 0;
};

struct TimerDesign {
    std::string name;
    int interval = 0;
    bool enabled = true;
};

class Timer : public Control {
public:
    static constexpr int kGranularityMs = 16;

    Timer(const TimerDesign& design, TimerDriver& driver);
    ~Timer() override;

    ControlKind kind() const override { return ControlKind::Timer; }

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    int interval() const { return interval_; }
    void setInterval(int interval);

    std::function<void()> onTimer;
    // Called by the driver.
    void tick();

private:
    void rearm();

    TimerDriver& driver_;
    int interval_;
    bool enabled_;
};

}  // namespace forms
