// SPDX-License-Identifier: GPL-3.0-or-later
// lesson-soak [--quick] [--budgets]; lesson-soak --help
// A long school day in fast motion: skelvin through 8 hours of its one-second blinking
// with 100,000 drag steps, and quillet through 1,000,000 pointer movements, each event
// repainted as on screen. It reports the peak memory after the first thousand events and
// at the end, and the median cost of the first and the last thousand events. --quick
// runs a twentieth of it. The memory may grow by at most a mebibyte; with --budgets (as
// scripts/benchmark runs it) the last thousand events may also be no slower than the
// first, which on a busy machine says little, so the test suite leaves it out.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "excerpt.h"
#include "fonts.h"
#include "session.h"

namespace {

constexpr const char* kUsage =
    "usage: lesson-soak [--quick] [--budgets]\n"
    "       lesson-soak -h | --help\n"
    "--quick runs a twentieth of the day; --budgets also fails a run whose last thousand\n"
    "events are slower than its first.\n";

constexpr double kGrowthBudgetMib = 1.0;

// AddressSanitizer keeps freed memory in quarantine, so the peak grows with every event
// there; its leak checker speaks for memory instead, and the growth is not judged.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kJudgeMemory = false;
#else
constexpr bool kJudgeMemory = true;
#endif
constexpr int kWindow = 1000;  // events at each end that are compared

double peakMib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct Result {
    const char* name;
    long long events;
    double startMib, endMib, firstMs, lastMs;
};

// Runs `events` events, each followed by the repaint of what it changed.
Result soak(const char* name, replay::Session& session, long long events,
            const std::function<std::string(long long)>& eventAt) {
    std::vector<double> first, last;
    double startMib = 0;
    QElapsedTimer timer;
    for (long long i = 0; i < events; ++i) {
        const std::string event = eventAt(i);
        timer.start();
        if (const auto error = session.run(event)) {
            std::fprintf(stderr, "lesson-soak: %s refused %s: %s\n", name, event.c_str(),
                         error->c_str());
            std::exit(2);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (i < kWindow) first.push_back(ms);
        if (i >= events - kWindow) last.push_back(ms);
        if (i == kWindow) startMib = peakMib();
        if (i % 256 == 0) session.forgetDrawing();
    }
    return {name, events, startMib, peakMib(), median(first), median(last)};
}

}  // namespace

int main(int argc, char** argv) {
    bool quick = false;
    bool budgets = false;
    bool help = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quick") {
            quick = true;
        } else if (arg == "--budgets") {
            budgets = true;
        } else if (arg == "-h" || arg == "--help") {
            help = true;
        } else {
            std::fprintf(stderr, "lesson-soak: unknown %s %s\n%s",
                         arg.size() > 1 && arg.front() == '-' ? "option" : "argument",
                         forms::excerpt(arg).c_str(), kUsage);
            return 2;
        }
    }
    // Asked how to run it, not to run it: a whole soak takes most of an hour.
    if (help) {
        std::fputs(kUsage, stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    const long long scale = quick ? 20 : 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    forms::installFontMapping();

    std::vector<Result> results;
    {
        // 8 hours of blinking is 28,800 seconds; between seconds the pupil drags P2 round.
        replay::Session skelvin("skelvin");
        skelvin.run("wait 2000");
        skelvin.run("down 4 5 1");
        const long long drags = 100000 / scale;
        const long long seconds = 28800 / scale;
        const long long events = drags + seconds;
        const long long every = events / seconds;
        results.push_back(soak("skelvin", skelvin, events, [&](long long i) {
            if (i % every == 0) return std::string("wait 1000");
            const double angle = 2 * std::numbers::pi * double(i % 500) / 500;
            return "move " + std::to_string(7 + 2.5 * std::cos(angle)) + " " +
                   std::to_string(4 + 2.5 * std::sin(angle)) + " 1";
        }));
    }
    {
        replay::Session quillet("quillet");
        results.push_back(soak("quillet", quillet, 1000000 / scale, [](long long i) {
            const double angle = 2 * std::numbers::pi * double(i % 720) / 720;
            return "move " + std::to_string(2 + 6 * std::cos(angle)) + " " +
                   std::to_string(6 * std::sin(angle)) + " 0";
        }));
    }

    bool met = true;
    std::printf("%-8s %10s %12s %12s %10s %12s %12s\n", "lesson", "events", "peak MiB @1k",
                "peak MiB end", "growth", "first 1k ms", "last 1k ms");
    for (const Result& r : results) {
        const double growth = r.endMib - r.startMib;
        // The last thousand may be no slower than the first, give or take the noise of a
        // busy machine.
        const bool ok = (!kJudgeMemory || growth < kGrowthBudgetMib) &&
                        (!budgets || r.lastMs <= r.firstMs * 1.25 + 0.005);
        met = met && ok;
        std::printf("%-8s %10lld %12.2f %12.2f %9.2f %12.4f %12.4f %s\n", r.name, r.events,
                    r.startMib, r.endMib, growth, r.firstMs, r.lastMs, ok ? "" : "MISSED");
    }
    if (!kJudgeMemory) std::printf("(memory growth not judged under AddressSanitizer)\n");
    std::printf("%d passed, %d failed\n", met ? 1 : 0, met ? 0 : 1);
    return met ? 0 : 1;
}
