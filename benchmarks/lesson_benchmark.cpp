// SPDX-License-Identifier: GPL-3.0-or-later
// lesson-benchmark [--steps N]
// The cost of one pointer event in each lesson, with the repaint of what it changed: a
// dorvane drag step, a skelvin drag step and a quillet pointer movement, at device pixel
// ratio 1 and 2, beside their budgets; then the real duration of dorvane's demonstration.
// Each measurement runs in a child process, since the pixel ratio is fixed when the
// application starts.
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QProcess>
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

int measure(const Case& measured, int steps) {
    replay::Session session(measured.lesson);
    for (const QString& line : QString(measured.setup).split('\n', Qt::SkipEmptyParts))
        session.run(line.toStdString());
    auto& canvas = dynamic_cast<forms::Canvas&>(*session.form().control("Picture1"));
    QWidget& view = canvas.widget();
    QCoreApplication::processEvents();
    PaintCounter counter;
    view.installEventFilter(&counter);

    std::vector<double> costs;
    QElapsedTimer clock;
    for (int step = 1; step <= kWarmUp + steps; ++step) {
        const double angle = 2 * std::numbers::pi * step / 400;
        const QPointF user =
            measured.centre + measured.radius * QPointF(std::cos(angle), std::sin(angle));
        const QPointF at = canvas.scale().toPixels(user.x(), user.y()) + QPointF(2, 2);
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

QString runChild(const QStringList& arguments, const QString& scale) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("QT_SCALE_FACTOR", scale);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(600'000) || child.exitCode() != 0) return {};
    return QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
}

int report(int steps) {
    std::printf("Cost of one event with its repaint, offscreen, %d events each\n", steps);
    std::printf("%-8s %-17s %5s %10s %10s %11s %12s\n", "lesson", "event", "scale", "median ms",
                "p95 ms", "paints/evt", "budget ms");
    bool allMet = true;
    for (int index = 0; index < int(std::size(kCases)); ++index) {
        const Case& measured = kCases[index];
        for (const QString scale : {"1", "2"}) {
            const QStringList fields =
                runChild({"--measure", QString::number(index), "--steps", QString::number(steps)},
                         scale)
                    .split(' ');
            if (fields.size() != 3) {
                std::fprintf(stderr, "lesson-benchmark: measuring %s failed\n", measured.lesson);
                return 1;
            }
            const double median = fields[0].toDouble();
            const bool budgeted = scale == "2";
            const bool met = !budgeted || median <= measured.budgetAtTwoMs;
            allMet = allMet && met;
            std::printf("%-8s %-17s %5s %10.4f %10.4f %11s %12s %s\n", measured.lesson,
                        measured.event, qPrintable(scale), median, fields[1].toDouble(),
                        qPrintable(fields[2]),
                        budgeted ? qPrintable(QString::number(measured.budgetAtTwoMs)) : "",
                        met ? "" : "MISSED");
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
        if (index < 0 || index >= int(std::size(kCases))) return 2;
        return measure(kCases[index], steps);
    }
    QCoreApplication app(argc, argv);
    return report(steps);
}
