// SPDX-License-Identifier: GPL-3.0-or-later
// The two timer drivers: the real clock of a running window, and a virtual clock that
// tests and the replay harness advance by hand, so nothing waits on wall-clock time.
#pragma once

#include <QObject>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

#include "timer.h"

class QTimer;

namespace forms {

class RealTimeDriver : public TimerDriver {
public:
    ~RealTimeDriver() override;
    void schedule(Timer& timer, int periodMs) override;
    void cancel(Timer& timer) override;

private:
    std::map<Timer*, QTimer*> timers_;
};

class VirtualClock : public TimerDriver {
public:
    void schedule(Timer& timer, int periodMs) override;
    void cancel(Timer& timer) override;

    // The clock stops here, some 146 million years on, so that no sum of waits and
    // intervals can overflow.
    static constexpr std::int64_t kEnd = std::numeric_limits<std::int64_t>::max() / 2;

    std::int64_t now() const { return now_; }
    // Moves the clock on by ms (at most to kEnd), firing every tick that falls due on the
    // way in the order of their times (timers due at the same moment in the order they
    // were scheduled). Each tick is run, so a long wait costs in proportion.
    void advance(std::int64_t ms);

private:
    struct Entry {
        Timer* timer;
        std::int64_t due;
        int period;
        std::uint64_t order;
    };
    std::vector<Entry> entries_;
    std::int64_t now_ = 0;
    std::uint64_t nextOrder_ = 0;
};

}  // namespace forms
