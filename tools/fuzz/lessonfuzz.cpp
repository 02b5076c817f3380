// SPDX-License-Identifier: GPL-3.0-or-later
// lesson-fuzz [--seconds N] [--seed S] [--budgets] [LESSON...]; lesson-fuzz --help
// lesson-fuzz --script [--events N] [--seed S] LESSON
// Throws random events at the lessons in-process, through the same runtime the windows
// use: presses, moves and releases with every button combination, at positions from the
// canvas out to the ends of the single range; clicks on every button and image; random
// text in every text box; waits of up to several seconds. After every event it checks
// that no caption shows "nan", "inf" or an exponent. Build it with the sanitizers to
// catch memory and undefined-behaviour faults. It reports the slowest event; with
// --budgets (as scripts/benchmark runs it) an event over 100 ms fails too, which on a
// busy machine says little, so the test suite leaves it out.
// With --script it runs nothing and prints the first N events a run with seed S throws at
// LESSON as a lesson-replay script: each event is already a script line, so the script
// replays them exactly. The run's flush of posted events every 64 events has no line.
#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cfloat>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "excerpt.h"
#include "fonts.h"
#include "session.h"

namespace {

using namespace forms;

// A caption that a pupil could misread as a number: nan, inf, or exponent notation.
const QRegularExpression kBadNumber(QStringLiteral("\\b(nan|inf)\\b|\\d[eE][+-]?\\d"),
                                    QRegularExpression::CaseInsensitiveOption);

double coordinate(QRandomGenerator& random) {
    switch (random.bounded(6)) {
        case 0:
            return -3 + random.bounded(17.0);  // on the canvas
        case 1:
            return -5000 + random.bounded(10000.0);  // dragged far away
        case 2:
            return (random.bounded(2) ? 1 : -1) * std::ldexp(1.0, int(random.bounded(128)));
        case 3:
            return (random.bounded(2) ? 1 : -1) * double(FLT_MAX) * random.bounded(1.0);
        case 4:
            return double(std::nextafter(float(random.bounded(-3, 14)), 0.0f));
        default:
            return double(random.bounded(-3, 14));  // whole numbers: ties and axes
    }
}

std::string randomText(QRandomGenerator& random) {
    static const char* const kSamples[] = {
        "",       " ",    "-",   "+",      ".",    "1e999", "-1e999", "1e-999",  "abc", "3abc",
        "  -2.5", "0x10", "1d2", "\t\n\r", "斜率", "١٢٣",   "1e38",   "-3.4e38", "nan", "inf"};
    std::string text;
    const int parts = int(random.bounded(4));
    for (int i = 0; i < parts; ++i) {
        if (random.bounded(3) == 0) {
            text += kSamples[random.bounded(int(std::size(kSamples)))];
        } else {
            const int length = int(random.bounded(random.bounded(10) == 0 ? 2000 : 12));
            for (int c = 0; c < length; ++c) text += char(random.bounded(1, 128));
        }
    }
    return text;
}

std::string captionOf(const Control& control) {
    switch (control.kind()) {
        case ControlKind::Label:
            return static_cast<const Label&>(control).caption();
        case ControlKind::Button:
            return static_cast<const Button&>(control).caption();
        default:
            return {};
    }
}

struct Report {
    long long events = 0;
    double slowestMs = 0;
    std::string slowestEvent;
    int failures = 0;
};

// What the events can name: the buttons and images to click, the text boxes to fill.
struct Targets {
    std::vector<std::string> clickable, boxes;

    explicit Targets(replay::Session& session) {
        for (const Control* control : session.form().controls()) {
            if (control->kind() == ControlKind::Button || control->kind() == ControlKind::Image)
                clickable.push_back(control->name());
            if (control->kind() == ControlKind::TextBox) boxes.push_back(control->name());
        }
    }
};

// The next event as a lesson-replay script line. It draws from random alone, never from
// the lesson's state, so a seed gives the same events whether they are run or printed.
std::string nextEvent(QRandomGenerator& random, const Targets& targets) {
    std::string event;
    switch (random.bounded(10)) {
        case 0:
        case 1:
            event = "down " + std::to_string(float(coordinate(random))) + " " +
                    std::to_string(float(coordinate(random))) + " " +
                    std::to_string(1 << random.bounded(3));
            break;
        case 2:
            event = "up 0 0 " + std::to_string(1 << random.bounded(3));
            break;
        case 3:
        case 4:
        case 5:
            event = "move " + std::to_string(float(coordinate(random))) + " " +
                    std::to_string(float(coordinate(random))) + " " +
                    std::to_string(random.bounded(8));
            break;
        case 6:
            event = "click " + targets.clickable[random.bounded(int(targets.clickable.size()))];
            break;
        case 7:
            if (!targets.boxes.empty()) {
                event = "text " + targets.boxes[random.bounded(int(targets.boxes.size()))] + " " +
                        randomText(random);
                for (char& c : event)
                    if (c == '\n' || c == '\r') c = ' ';
                break;
            }
            [[fallthrough]];
        default:
            event = "wait " + std::to_string(random.bounded(random.bounded(4) == 0 ? 4000 : 40));
    }
    return event;
}

void fuzz(const std::string& lesson, double seconds, quint32 seed, Report& report) {
    QRandomGenerator random(seed);
    replay::Session session(lesson);
    const Targets targets(session);
    QElapsedTimer total;
    total.start();
    while (double(total.elapsed()) < seconds * 1000) {
        const std::string event = nextEvent(random, targets);
        QElapsedTimer timer;
        timer.start();
        const auto error = session.run(event);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        ++report.events;
        if (error) {
            std::fprintf(stderr, "%s: the harness refused \"%.80s\": %s\n", lesson.c_str(),
                         event.c_str(), error->c_str());
            ++report.failures;
        }
        if (ms > report.slowestMs) {
            report.slowestMs = ms;
            report.slowestEvent = lesson + ": " + event.substr(0, 60);
        }
        for (const Control* control : session.form().controls()) {
            const QString caption = QString::fromStdString(captionOf(*control));
            if (caption.contains(kBadNumber)) {
                std::fprintf(stderr, "%s: after \"%.80s\" %s shows \"%s\"\n", lesson.c_str(),
                             event.c_str(), control->name().c_str(), qPrintable(caption));
                ++report.failures;
            }
        }
        if (report.events % 64 == 0) {
            QCoreApplication::sendPostedEvents();
            session.forgetDrawing();
        }
    }
}

constexpr const char* kUsage =
    "usage: lesson-fuzz [--seconds N] [--seed S] [--budgets] [LESSON...]\n"
    "       lesson-fuzz --script [--events E] [--seed S] LESSON\n"
    "       lesson-fuzz -h | --help\n"
    "N is the length of the whole run in seconds, a number above 0 and at most 1000000\n"
    "(default 20); S a whole number from 0 to 4294967295 (default 1). LESSON is dorvane,\n"
    "skelvin or quillet, all three by default. --script prints the first E events (1 to\n"
    "1000000, default 1000) that the run with seed S throws at LESSON as a lesson-replay\n"
    "script, and runs nothing.\n";

struct Options {
    double seconds = 20;
    quint32 seed = 1;
    bool budgets = false;
    bool script = false;
    long long events = 1000;
    std::vector<std::string> lessons;
};

// The events of a seed as a script; the header says how to make it again.
int printScript(const std::string& lesson, long long events, quint32 seed) {
    QRandomGenerator random(seed);
    replay::Session session(lesson);
    const Targets targets(session);
    std::printf("# lesson-fuzz --script --events %lld --seed %u %s\n", events, seed,
                lesson.c_str());
    for (long long i = 0; i < events; ++i) std::printf("%s\n", nextEvent(random, targets).c_str());
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::fputs("lesson-fuzz: cannot write standard output\n", stderr);
    return 1;
}

int usageError(const std::string& problem) {
    std::fprintf(stderr, "lesson-fuzz: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

// Returns an exit status when the arguments end the run before it starts: a run that
// throws nothing at a lesson must never be reported as passed.
std::optional<int> parse(int argc, char** argv, Options& options) {
    bool help = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            help = true;
        } else if (arg == "--budgets") {
            options.budgets = true;
        } else if (arg == "--script") {
            options.script = true;
        } else if (arg == "--seconds" || arg == "--seed" || arg == "--events") {
            if (i + 1 == argc) return usageError(arg + " needs a value");
            const std::string value = argv[++i];
            const char* end = value.data() + value.size();
            if (arg == "--seconds") {
                double seconds = 0;
                const auto read = std::from_chars(value.data(), end, seconds);
                if (value.empty() || read.ptr != end || read.ec != std::errc() ||
                    !(seconds > 0 && seconds <= 1e6))
                    return usageError(
                        "--seconds takes a number above 0 and at most 1000000, not \"" +
                        excerpt(value) + "\"");
                options.seconds = seconds;
            } else if (arg == "--events") {
                long long events = 0;
                const auto read = std::from_chars(value.data(), end, events);
                if (value.empty() || read.ptr != end || read.ec != std::errc() || events < 1 ||
                    events > 1000000)
                    return usageError("--events takes a whole number from 1 to 1000000, not \"" +
                                      excerpt(value) + "\"");
                options.events = events;
            } else {
                quint32 seed = 0;
                const auto read = std::from_chars(value.data(), end, seed);
                if (value.empty() || read.ptr != end || read.ec != std::errc())
                    return usageError("--seed takes a whole number from 0 to 4294967295, not \"" +
                                      excerpt(value) + "\"");
                options.seed = seed;
            }
        } else if (arg.size() > 1 && arg.front() == '-') {
            return usageError("unknown option " + excerpt(arg));
        } else if (arg == "dorvane" || arg == "skelvin" || arg == "quillet") {
            options.lessons.push_back(arg);
        } else {
            return usageError("unknown lesson " + excerpt(arg));
        }
    }
    if (help) {
        std::fputs(kUsage, stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    if (options.script && options.lessons.size() != 1)
        return usageError("--script takes one lesson");
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const auto status = parse(argc, argv, options)) return *status;
    const double seconds = options.seconds;
    const quint32 seed = options.seed;
    const bool budgets = options.budgets;
    std::vector<std::string> lessons = options.lessons;
    if (lessons.empty()) lessons = {"dorvane", "skelvin", "quillet"};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    installFontMapping();
    if (options.script) return printScript(lessons.front(), options.events, seed);

    Report report;
    QElapsedTimer clock;
    clock.start();
    for (const std::string& lesson : lessons)
        fuzz(lesson, seconds / double(lessons.size()), seed, report);
    std::printf("lesson-fuzz: %lld events in %.1f s, seed %u; slowest %.2f ms (%s)\n",
                report.events, double(clock.elapsed()) / 1000, seed, report.slowestMs,
                report.slowestEvent.c_str());
    // Far under a frame even at extreme positions; the sanitizers slow everything down.
    const double budgetMs = 100;
    if (budgets && report.slowestMs > budgetMs) {
        std::fprintf(stderr, "lesson-fuzz: an event took %.1f ms, over %.0f ms\n", report.slowestMs,
                     budgetMs);
        ++report.failures;
    }
    std::printf("%d passed, %d failed\n", report.failures ? 0 : 1, report.failures ? 1 : 0);
    return report.failures ? 1 : 0;
}
