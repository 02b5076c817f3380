// SPDX-License-Identifier: GPL-3.0-or-later
#include "xsession.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

XSession::XSession(QSize screen, Manager manager, Screen kind) {
    const bool nested = kind == Screen::Resizable;
    const QString size = QString("%1x%2").arg(screen.width()).arg(screen.height());
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty() ||
        QStandardPaths::findExecutable("import").isEmpty()) {
        failure_ = "Xvfb, xdotool or ImageMagick's import is not installed";
        return;
    }
    if (manager == Manager::Openbox && (QStandardPaths::findExecutable("openbox").isEmpty() ||
                                        QStandardPaths::findExecutable("xprop").isEmpty() ||
                                        QStandardPaths::findExecutable("xwininfo").isEmpty())) {
        failure_ = "openbox, xprop or xwininfo is not installed";
        return;
    }
    if (nested && (QStandardPaths::findExecutable("Xephyr").isEmpty() ||
                   QStandardPaths::findExecutable("xrandr").isEmpty())) {
        failure_ = "Xephyr or xrandr is not installed: no X screen here can change its size";
        return;
    }
    // Xvfb's screen is fixed; a nested Xephyr one follows its window, up to Xvfb's size.
    const QString outer = nested ? QStringLiteral("3840x2160") : size;
    display_ = startServer(server_, "Xvfb", {"-screen", "0", outer + "x24"}, {});
    if (display_.isEmpty() || !nested) {
        if (!display_.isEmpty() && manager == Manager::Openbox) startOpenbox();
        return;
    }
    host_ = display_;
    display_ = startServer(nested_, "Xephyr", {"-screen", size, "-resizeable"}, host_);
    if (!display_.isEmpty() && manager == Manager::Openbox) startOpenbox();
}

QString XSession::startServer(QProcess& server, const QString& program,
                              const QStringList& arguments, const QString& host) {
    if (!host.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", host);
        server.setProcessEnvironment(environment);
    }
    // -displayfd 1 makes the server pick a free display and print its number once ready.
    server.start(program,
                 QStringList{"-displayfd", "1"} + arguments + QStringList{"-nolisten", "tcp"});
    if (!server.waitForStarted(10000)) {
        failure_ = program + " did not start";
        return {};
    }
    QByteArray number;
    waitFor([&] {
        server.waitForReadyRead(100);
        number += server.readAllStandardOutput();
        return number.contains('\n') || server.state() == QProcess::NotRunning;
    });
    if (!number.contains('\n')) {
        failure_ = program + " did not report a display: " +
                   QString::fromLocal8Bit(server.readAllStandardError());
        return {};
    }
    return ":" + QString::fromLatin1(number.trimmed());
}

bool XSession::startOpenbox() {
    auto openbox = std::make_unique<QProcess>();
    openbox->setProcessEnvironment(environment());
    openbox->setStandardErrorFile(QProcess::nullDevice());
    openbox->start("openbox", {});
    programs_.push_back(std::move(openbox));
    // The window manager is up once it names itself on the root window.
    if (waitFor([&] {
            QProcess property;
            property.setProcessEnvironment(environment());
            property.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
            property.waitForFinished(5000);
            return property.readAllStandardOutput().contains("window id");
        }))
        return true;
    failure_ = "openbox did not start";
    return false;
}

XSession::~XSession() {
    for (auto& program : programs_) {
        program->kill();
        program->waitForFinished(5000);
    }
    for (QProcess* server : {&nested_, &server_}) {
        if (server->state() == QProcess::NotRunning) continue;
        server->terminate();
        if (!server->waitForFinished(5000)) {
            server->kill();
            server->waitForFinished(5000);
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

QString XSession::launch(const QString& program, const QStringList& arguments,
                         const QString& title) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment());
    process->start(program, arguments);
    if (!process->waitForStarted(10000)) return {};
    programs_.push_back(std::move(process));
    QString window;
    waitFor([&] {
        QByteArray found;
        xdotool({"search", "--onlyvisible", "--name", title}, &found);
        window = QString::fromLatin1(found).split('\n').first().trimmed();
        return !window.isEmpty();
    });
    return window;
}

QString XSession::output(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(program, arguments);
    tool.waitForFinished(5000);
    return QString::fromLatin1(tool.readAllStandardOutput());
}

QRect XSession::clientGeometry(const QString& window) {
    const QString info = output("xwininfo", {"-id", window});
    const auto field = [&](const QString& name) {
        return info.split('\n').filter(name).value(0).section(':', 1).trimmed().toInt();
    };
    return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
            field("Height")};
}

QRect XSession::frameGeometry(const QString& window) {
    const QRect client = clientGeometry(window);
    // _NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom
    const QStringList extents =
        output("xprop", {"-id", window, "_NET_FRAME_EXTENTS"}).section('=', 1).split(',');
    if (extents.size() != 4) return client;
    return client.adjusted(-extents[0].trimmed().toInt(), -extents[2].trimmed().toInt(),
                           extents[1].trimmed().toInt(), extents[3].trimmed().toInt());
}

bool XSession::resizeScreen(QSize size) {
    if (host_.isEmpty()) return false;
    QProcessEnvironment host = environment();
    host.insert("DISPLAY", host_);
    QProcess tool;
    tool.setProcessEnvironment(host);
    tool.start("xdotool", {"search", "--onlyvisible", "--class", "Xephyr", "windowsize", "%@",
                           QString::number(size.width()), QString::number(size.height())});
    if (!tool.waitForFinished(10000) || tool.exitCode() != 0) return false;
    // Xephyr sets its output's new mode only when a client asks for the screen's resources,
    // as a desktop's display settings do; until then the window manager sees the old one.
    output("xrandr", {"-q"});
    return waitFor([&] {
        const QString info = output("xwininfo", {"-root"});
        return info.contains(QString("Width: %1\n").arg(size.width())) &&
               info.contains(QString("Height: %1\n").arg(size.height()));
    });
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
