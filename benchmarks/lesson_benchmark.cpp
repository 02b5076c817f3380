// SPDX-License-Identifier: GPL-3.0-or-later
// lesson-benchmark [--steps N]
// The cost of one pointer event in each lesson, with the repaint of what it changed: a
// dorvane drag step, a skelvin drag step and a quillet pointer movement, at device pixel
// ratio 1 and 2, at 200 % zoom and at full screen on 1920 x 1080 and 3840 x 2160, beside
// their budgets; then the real duration of dorvane's demonstration.
// Each measurement runs in a child process, since the pixel ratio is fixed when the
// application starts.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "clocks.h"
#include "distanceform.h"
#include "fonts.h"
#include "session.h"

namespace {

constexpr int kWarmUp = 200;

struct Case {
    const char* lesson;
    const char* event;
    const char* setup;  // script run before measuring
    QPointF centre;     // the pointer circles around it
    double radius;
    Qt::MouseButtons held;
    double budgetAtTwoMs;
};

// Circling keeps the same point the nearer one, so every step moves it and all that
// hangs on it: markers, labels, dotted lines, the formula row, the slope figure.
const Case kCases[] = {
    {"dorvane", "drag step", "wait 20\ndown 4 5 1", {8, 4}, 2.5, Qt::LeftButton, 0.25},
    {"skelvin", "drag step", "wait 2000\ndown 4 5 1", {8, 4}, 2.5, Qt::LeftButton, 0.25},
    {"quillet", "pointer movement", "", {2, 0}, 6, Qt::NoButton, 0.5},
};

class PaintCounter : public QObject {
public:
    long long events = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++events;
        return QObject::eventFilter(watched, event);
    }
};

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[std::size_t(std::lround(fraction * double(values.size() - 1)))];
}

// How the lesson is shown while measured: zoomed in its window, or full screen on a
// screen of the given size.
struct Showing {
    const char* name;
    double zoomPercent;
    QSize screen;         // empty: in the window
    double budgetFactor;  // times the budget at 100 %
};

const Showing kShowings[] = {
    {"100 %", 100, {}, 1},
    {"200 %", 200, {}, 1},
    {"full 1920x1080", 100, {1920, 1080}, 2},
    {"full 3840x2160", 100, {3840, 2160}, 6},
};

int measure(const Case& measured, const Showing& showing, int steps) {
    replay::Session session(measured.lesson);
    session.window().setZoomPercent(showing.zoomPercent);
    if (!showing.screen.isEmpty()) {
        session.window().setPresenting(true);
        // The window system answers with the full-screen size.
        QCoreApplication::processEvents();
        // A measurement on a screen of another size would be no measurement at all.
        if (session.window().size() != showing.screen) {
            std::fprintf(stderr, "lesson-benchmark: the full-screen window is %dx%d, not %dx%d\n",
                         session.window().width(), session.window().height(),
                         showing.screen.width(), showing.screen.height());
            return 1;
        }
    }
    for (const QString& line : QString(measured.setup).split('\n', Qt::SkipEmptyParts))
        session.run(line.toStdString());
    auto& canvas = dynamic_cast<forms::Canvas&>(*session.form().control("Picture1"));
    QWidget& view = canvas.widget();
    QCoreApplication::processEvents();
    const double zoom = session.window().zoomPercent() / 100;
    const QPointF inner(2 * canvas.edgeWidth(), 2 * canvas.edgeWidth());
    PaintCounter counter;
    view.installEventFilter(&counter);

    std::vector<double> costs;
    QElapsedTimer clock;
    for (int step = 1; step <= kWarmUp + steps; ++step) {
        const double angle = 2 * std::numbers::pi * step / 400;
        const QPointF user =
            measured.centre + measured.radius * QPointF(std::cos(angle), std::sin(angle));
        const QPointF at = canvas.scale().toPixels(user.x(), user.y()) * zoom + inner;
        clock.start();
        QMouseEvent event(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, measured.held,
                          Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        if (step > kWarmUp) costs.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (step % 256 == 0) session.forgetDrawing();
    }
    std::printf("%.4f %.4f %.2f\n", percentile(costs, 0.5), percentile(costs, 0.95),
                double(counter.events) / (kWarmUp + steps));
    // Every event must really paint, or the figure would be flattering.
    return counter.events >= steps ? 0 : 1;
}

int measureDemonstration() {
    forms::RealTimeDriver timers;
    forms::RecordingMessagePresenter messages;
    forms::FormEnvironment environment{timers, messages};
    distance::DistanceForm form(environment);
    form.load();
    form.window().show();
    auto& timer1 = dynamic_cast<forms::Timer&>(*form.control("Timer1"));
    auto& timer2 = dynamic_cast<forms::Timer&>(*form.control("Timer2"));
    while (timer1.isEnabled()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QElapsedTimer clock;
    clock.start();
    dynamic_cast<forms::Button&>(*form.control("Command1")).click();
    while (timer2.isEnabled()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("%lld\n", clock.elapsed());
    return 0;
}

// The offscreen platform's one screen is 800 x 800 unless a configuration file says
// otherwise; full screen is measured on a screen of the size it names.
QString offscreenPlatform(QSize screen, const QTemporaryDir& files) {
    if (screen.isEmpty()) return "offscreen";
    const QString path =
        files.filePath(QString("screen-%1x%2.json").arg(screen.width()).arg(screen.height()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return "offscreen";
    file.write(
        QString(
            R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": %1, "height": %2, "logicalDpi": 96}]})")
            .arg(screen.width())
            .arg(screen.height())
            .toUtf8());
    return "offscreen:configfile=" + path;
}

QString runChild(const QStringList& arguments, const QString& scale,
                 const QString& platform = "offscreen") {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", platform);
    environment.insert("QT_SCALE_FACTOR", scale);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(600'000) || child.exitCode() != 0) return {};
    return QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
}

int report(int steps) {
    std::printf("Cost of one event with its repaint, offscreen, %d events each\n", steps);
    std::printf("%-8s %-17s %5s %-15s %10s %10s %11s %12s\n", "lesson", "event", "scale", "shown",
                "median ms", "p95 ms", "paints/evt", "budget ms");
    bool allMet = true;
    const QTemporaryDir files;
    for (int index = 0; index < int(std::size(kCases)); ++index) {
        const Case& measured = kCases[index];
        for (int shown = -1; shown < int(std::size(kShowings)); ++shown) {
            // The device pixel ratio 2 without zoom, then every zoom at ratio 1.
            const QString scale = shown < 0 ? "2" : "1";
            const Showing& showing = kShowings[std::max(shown, 0)];
            const QStringList fields =
                runChild({"--measure", QString::number(index), "--shown",
                          QString::number(std::max(shown, 0)), "--steps", QString::number(steps)},
                         scale, offscreenPlatform(showing.screen, files))
                    .split(' ');
            if (fields.size() != 3) {
                std::fprintf(stderr, "lesson-benchmark: measuring %s failed\n", measured.lesson);
                return 1;
            }
            const double median = fields[0].toDouble();
            const double budget = measured.budgetAtTwoMs * showing.budgetFactor;
            const bool met = median <= budget;
            allMet = allMet && met;
            std::printf("%-8s %-17s %5s %-15s %10.4f %10.4f %11s %12s %s\n", measured.lesson,
                        measured.event, qPrintable(scale), showing.name, median,
                        fields[1].toDouble(), qPrintable(fields[2]),
                        qPrintable(QString::number(budget)), met ? "" : "MISSED");
            std::fflush(stdout);
        }
    }
    const QString demonstration = runChild({"--demonstration"}, "1");
    std::printf("dorvane demonstration on the real timers: %s ms (100 ticks of 16 ms)\n",
                qPrintable(demonstration));
    return allMet ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const qsizetype stepsAt = arguments.indexOf("--steps");
    const int steps =
        stepsAt >= 0 && stepsAt + 1 < arguments.size() ? arguments[stepsAt + 1].toInt() : 5000;
    const qsizetype measureAt = arguments.indexOf("--measure");
    if (steps <= 0) {
        std::fprintf(stderr, "usage: lesson-benchmark [--steps N]\n");
        return 2;
    }
    if (measureAt >= 0 || arguments.contains("--demonstration")) {
        QApplication app(argc, argv);
        forms::installFontMapping();
        if (measureAt < 0) return measureDemonstration();
        const int index = arguments.value(measureAt + 1).toInt();
        const qsizetype shownAt = arguments.indexOf("--shown");
        const int shown = shownAt >= 0 ? arguments.value(shownAt + 1).toInt() : 0;
        if (index < 0 || index >= int(std::size(kCases)) || shown < 0 ||
            shown >= int(std::size(kShowings)))
            return 2;
        return measure(kCases[index], kShowings[shown], steps);
    }
    QCoreApplication app(argc, argv);
    return report(steps);
}
