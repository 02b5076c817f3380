// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>
#include <limits>
#include <string>
#include <vector>

#include "clocks.h"
#include "timer.h"

using namespace forms;

class TestTimers : public QObject {
    Q_OBJECT
private slots:
    void shortIntervalsTickEvery16ms() {
        VirtualClock clock;
        Timer timer({.name = "Timer1", .interval = 1, .enabled = true}, clock);
        std::vector<std::int64_t> ticks;
        timer.onTimer = [&] { ticks.push_back(clock.now()); };
        clock.advance(15);
        QVERIFY(ticks.empty());
        clock.advance(50);
        QCOMPARE(ticks, (std::vector<std::int64_t>{16, 32, 48, 64}));
        QCOMPARE(clock.now(), 65);
    }
    void zeroIntervalNeverTicks() {
        VirtualClock clock;
        Timer timer({.name = "Timer3", .interval = 0, .enabled = true}, clock);
        int ticks = 0;
        timer.onTimer = [&] { ++ticks; };
        clock.advance(100000);
        QCOMPARE(ticks, 0);
        timer.setInterval(1000);
        clock.advance(2500);
        QCOMPARE(ticks, 2);
    }
    void disablingInsideTheHandlerStops() {
        VirtualClock clock;
        Timer timer({.name = "Timer2", .interval = 1, .enabled = true}, clock);
        int ticks = 0;
        timer.onTimer = [&] {
            if (++ticks == 100) timer.setEnabled(false);
        };
        clock.advance(100000);
        QCOMPARE(ticks, 100);
        QVERIFY(!timer.isEnabled());
    }
    void enablingCountsFromNow() {
        VirtualClock clock;
        Timer timer({.name = "Timer2", .interval = 1, .enabled = false}, clock);
        std::vector<std::int64_t> ticks;
        timer.onTimer = [&] { ticks.push_back(clock.now()); };
        clock.advance(40);
        timer.setEnabled(true);
        timer.setEnabled(true);  // unchanged: the countdown goes on
        clock.advance(40);
        QCOMPARE(ticks, (std::vector<std::int64_t>{56, 72}));
    }
    void dueTicksFireInTimeOrder() {
        VirtualClock clock;
        Timer slow({.name = "slow", .interval = 1000, .enabled = true}, clock);
        Timer fast({.name = "fast", .interval = 500, .enabled = true}, clock);
        std::string order;
        slow.onTimer = [&] { order += 'S'; };
        fast.onTimer = [&] { order += 'f'; };
        clock.advance(2000);
        // At 1000 and 2000 both are due: the one scheduled first goes first.
        QCOMPARE(order, std::string("fSffSf"));
    }
    void oneShotPatternStartsAnother() {
        VirtualClock clock;
        Timer first({.name = "Timer1", .interval = 1, .enabled = true}, clock);
        Timer second({.name = "Timer2", .interval = 1, .enabled = false}, clock);
        std::vector<std::int64_t> secondTicks;
        first.onTimer = [&] {
            first.setEnabled(false);
            second.setEnabled(true);
        };
        second.onTimer = [&] { secondTicks.push_back(clock.now()); };
        clock.advance(50);
        QCOMPARE(secondTicks, (std::vector<std::int64_t>{32, 48}));
    }
    void theClockStopsAtItsEnd() {
        VirtualClock clock;
        Timer timer({.name = "Timer1", .interval = 1000, .enabled = true}, clock);
        int ticks = 0;
        timer.onTimer = [&] { timer.setEnabled(++ticks < 3); };
        for (std::int64_t ms : {std::int64_t(10), std::numeric_limits<std::int64_t>::max(),
                                std::numeric_limits<std::int64_t>::max()})
            clock.advance(ms);
        timer.setEnabled(true);  // due beyond the end: it never ticks
        clock.advance(1000);
        QCOMPARE(clock.now(), VirtualClock::kEnd);
        QCOMPARE(ticks, 3);
    }
};

QTEST_APPLESS_MAIN(TestTimers)
#include "tst_timers.moc"
