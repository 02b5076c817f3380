// SPDX-License-Identifier: GPL-3.0-or-later
// A probe for measuring start-up, linked into the lesson programs and the yardstick
// window: with LESSONS_STARTUP_PROBE set in the environment, the program prints the
// monotonic time of its first window's first paint and its peak memory so far, then
// quits. Without it, nothing changes. It hooks itself in when the application object is
// made, so the programs and the runtime know nothing of it.
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

long long peakResidentKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

class FirstPaintProbe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Any widget: a window wholly covered by its children gets no paint of its own, and
        // the whole window is painted in one go, before the report below.
        if (event->type() == QEvent::Paint && !reported_ && watched->isWidgetType()) {
            reported_ = true;
            // Report once the paint that is under way has finished.
            QTimer::singleShot(0, this, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("first-paint-ns %lld peak-kib %lld\n",
                            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                            peakResidentKib());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool reported_ = false;
};

void armStartupProbe() {
    if (qEnvironmentVariableIsEmpty("LESSONS_STARTUP_PROBE")) return;
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new FirstPaintProbe(app));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(armStartupProbe)
