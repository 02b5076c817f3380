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
    // Intervals below 16 ms tick every 16 ms, zero never; enabling counts from then on.
    void ticks_data() {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("enableAt");  // -1: enabled from the start
        QTest::addColumn<QList<qint64>>("ticks");
        QTest::newRow("1 ms") << 1 << -1 << QList<qint64>{16, 32, 48, 64};
        QTest::newRow("zero") << 0 << -1 << QList<qint64>{};
        QTest::newRow("enabled twice at 40") << 1 << 40 << QList<qint64>{56, 72};
    }
    void ticks() {
        QFETCH(int, interval);
        QFETCH(int, enableAt);
        VirtualClock clock;
        Timer timer({.name = "Timer1", .interval = interval, .enabled = enableAt < 0}, clock);
        QList<qint64> ticks;
        timer.onTimer = [&] { ticks.push_back(clock.now()); };
        if (enableAt >= 0) {
            clock.advance(enableAt);
            timer.setEnabled(true);
            timer.setEnabled(true);  // unchanged: the countdown goes on
        }
        clock.advance(79 - clock.now());
        QTEST(ticks, "ticks");
        if (interval != 0) return;
        timer.setInterval(1000);
        clock.advance(2500);
        QCOMPARE(ticks.size(), qsizetype(2));
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
