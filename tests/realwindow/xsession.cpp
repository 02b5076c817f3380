// SPDX-License-Identifier: GPL-3.0-or-later
#include "xsession.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

XSession::XSession() {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty() ||
        QStandardPaths::findExecutable("import").isEmpty()) {
        failure_ = "Xvfb, xdotool or ImageMagick's import is not installed";
        return;
    }
    // -displayfd 1 makes the server pick a free display and print its number once ready.
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    if (!server_.waitForStarted(10000)) {
        failure_ = "Xvfb did not start";
        return;
    }
    QByteArray number;
    waitFor([&] {
        server_.waitForReadyRead(100);
        number += server_.readAllStandardOutput();
        return number.contains('\n') || server_.state() == QProcess::NotRunning;
    });
    if (!number.contains('\n')) {
        failure_ = "Xvfb did not report a display: " +
                   QString::fromLocal8Bit(server_.readAllStandardError());
        return;
    }
    display_ = ":" + QString::fromLatin1(number.trimmed());
}

XSession::~XSession() {
    for (auto& program : programs_) {
        program->kill();
        program->waitForFinished(5000);
    }
    if (server_.state() != QProcess::NotRunning) {
        server_.terminate();
        if (!server_.waitForFinished(5000)) {
            server_.kill();
            server_.waitForFinished(5000);
        }
    }
}

QProcessEnvironment XSession::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display_);
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("QT_SCALE_FACTOR");
    return environment;
}

bool XSession::launch(const QString& program, const QString& title, QPoint& windowOrigin) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment());
    process->start(program, {});
    if (!process->waitForStarted(10000)) return false;
    programs_.push_back(std::move(process));
    QString window;
    const bool mapped = waitFor([&] {
        QProcess search;
        search.setProcessEnvironment(environment());
        search.start("xdotool", {"search", "--onlyvisible", "--name", title});
        search.waitForFinished(5000);
        window = QString::fromLatin1(search.readAllStandardOutput()).split('\n').first().trimmed();
        return !window.isEmpty();
    });
    if (!mapped) return false;
    // Without a window manager the window sits where it asked to be; put it at a known place.
    xdotool({"windowmove", "--sync", window, "0", "0"});
    windowOrigin = QPoint(0, 0);
    return true;
}

bool XSession::xdotool(const QStringList& arguments, QByteArray* output) {
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start("xdotool", arguments);
    const bool done = tool.waitForFinished(10000) && tool.exitCode() == 0;
    if (output) *output = tool.readAllStandardOutput();
    return done;
}

QImage XSession::screenshot() {
    QProcess import;
    import.setProcessEnvironment(environment());
    import.start("import", {"-window", "root", "png:-"});
    import.waitForFinished(20000);
    return QImage::fromData(import.readAllStandardOutput(), "PNG");
}

bool XSession::waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) return false;
        QThread::msleep(50);
    }
    return true;
}
