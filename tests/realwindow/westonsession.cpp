// SPDX-License-Identifier: GPL-3.0-or-later
#include "westonsession.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <algorithm>

namespace {

const char* const kSocket = "lessons-wayland";
constexpr int kPointerStrip = 32;

// A plain desktop of one colour: no panel, clock, lock screen, on-screen keyboard or
// animation that a screenshot could catch half-way.
const char* const kConfig =
    "[shell]\n"
    "background-color=0x%1\n"
    "panel-position=none\n"
    "locking=false\n"
    "animation=none\n"
    "startup-animation=none\n"
    "close-animation=none\n"
    "focus-animation=none\n"
    "[input-method]\n"
    "path=\n";

QString lastLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).trimmed().split('\n');
    return lines.mid(std::max<qsizetype>(0, lines.size() - 3)).join(" / ");
}

}  // namespace

WestonSession::WestonSession() {
    if (!x_.failure().isEmpty()) {
        failure_ = x_.failure();
        return;
    }
    if (QStandardPaths::findExecutable("weston").isEmpty()) {
        failure_ = "weston is not installed";
        return;
    }
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath);
    if (!QFile::exists(plugins + "/platforms/libqwayland-generic.so")) {
        failure_ = "Qt's wayland platform (qt6-wayland) is not installed";
        return;
    }
    const QString config = runtimeDirectory_.filePath("weston.ini");
    QFile file(config);
    if (!runtimeDirectory_.isValid() || !file.open(QIODevice::WriteOnly) ||
        file.write(QString(kConfig).arg(kBackground, 8, 16, QChar('0')).toLatin1()) < 0 ||
        !file.flush()) {
        failure_ = "no private runtime directory for weston";
        return;
    }
    file.close();

    // weston's window without a window manager sits at (0, 0). Below it a strip of the X
    // screen is left bare for the pointer to come into it from. Once in, the pointer stays
    // over the window, which then gets the keys.
    const QImage screen = x_.screenshot();
    if (screen.isNull()) {
        failure_ = "no screenshot of the X display";
        return;
    }
    output_ = QSize(screen.width(), screen.height() - kPointerStrip);
    x_.xdotool({"mousemove", "--sync", "0", QString::number(screen.height() - 1)});
    QProcessEnvironment environment = x_.environment();
    environment.insert("XDG_RUNTIME_DIR", runtimeDirectory_.path());
    weston_.setProcessEnvironment(environment);
    weston_.setStandardOutputFile(QProcess::nullDevice());
    const QString log = runtimeDirectory_.filePath("weston.log");
    weston_.setStandardErrorFile(log);
    // Software rendering: the machines running the tests have no GPU. An idle time of 0
    // keeps the screen from fading out under a slow test.
    weston_.start("weston", {"--backend=x11-backend.so", "--use-pixman", "--idle-time=0",
                             "--socket=" + QString(kSocket), "--config=" + config,
                             QString("--width=%1").arg(output_.width()),
                             QString("--height=%1").arg(output_.height())});
    if (!weston_.waitForStarted(10000)) {
        failure_ = "weston did not start";
        return;
    }
    // Up once its shell has painted the background; until then the output is black.
    const bool up = XSession::waitFor([&] {
        if (weston_.state() == QProcess::NotRunning) return true;
        if (!QFile::exists(runtimeDirectory_.filePath(kSocket))) return false;
        const QImage shot = screenshot();
        qsizetype background = 0;
        for (int y = 0; y < shot.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
            background += std::count(line, line + shot.width(), kBackground);
        }
        return background > qsizetype(shot.width()) * shot.height() * 99 / 100;
    });
    if (weston_.state() == QProcess::NotRunning || !up) {
        failure_ = "weston did not show its desktop: " + lastLines(log);
        return;
    }
    enterAt(QPoint(0, output_.height() - 1));
}

bool WestonSession::enterAt(QPoint point) {
    const QString strip = QString::number(output_.height() + kPointerStrip / 2);
    return x_.xdotool({"mousemove", "--sync", "0", strip}) &&
           x_.xdotool(
               {"mousemove", "--sync", QString::number(point.x()), QString::number(point.y())});
}

QImage WestonSession::screenshot() {
    return x_.screenshot().copy(QRect(QPoint(0, 0), output_)).convertToFormat(QImage::Format_RGB32);
}

WestonSession::~WestonSession() {
    for (auto& program : programs_) {
        program->kill();
        program->waitForFinished(5000);
    }
    if (weston_.state() != QProcess::NotRunning) {
        weston_.terminate();
        if (!weston_.waitForFinished(5000)) {
            weston_.kill();
            weston_.waitForFinished(5000);
        }
    }
}

QProcessEnvironment WestonSession::environment() const {
    QProcessEnvironment environment = x_.environment();
    // No X display, so that nothing can fall back to it unseen.
    environment.remove("DISPLAY");
    environment.insert("XDG_RUNTIME_DIR", runtimeDirectory_.path());
    environment.insert("WAYLAND_DISPLAY", kSocket);
    environment.insert("QT_QPA_PLATFORM", "wayland");
    environment.insert("WAYLAND_DEBUG", "1");
    return environment;
}

bool WestonSession::launch(const QString& program) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment());
    process->setStandardOutputFile(QProcess::nullDevice());
    // The protocol log is long; into a file, where it cannot fill a pipe and stall the program.
    process->setStandardErrorFile(
        runtimeDirectory_.filePath(QString("program-%1.log").arg(programs_.size())));
    process->start(program, {});
    if (!process->waitForStarted(10000)) return false;
    programs_.push_back(std::move(process));
    return true;
}

QByteArray WestonSession::protocolLog() const {
    QByteArray log;
    for (std::size_t i = 0; i < programs_.size(); ++i) {
        QFile file(runtimeDirectory_.filePath(QString("program-%1.log").arg(i)));
        if (file.open(QIODevice::ReadOnly)) log += file.readAll();
    }
    return log;
}
