// SPDX-License-Identifier: GPL-3.0-or-later
// A private Wayland desktop for real-window tests: weston in a window that fills a private X
// display, so that xdotool's X input reaches the Wayland programs through weston and a
// screenshot of the X display is what weston shows. Programs start on it with Qt's wayland
// platform and their protocol traffic logged. Everything it starts is ended when it goes.
#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "xsession.h"

class WestonSession {
public:
    WestonSession();
    ~WestonSession();

    // Empty when the desktop is up, else why it could not start.
    const QString& failure() const { return failure_; }

    // The desktop's colour, everywhere no window is, on an output as large as the X screen.
    static constexpr QRgb kBackground = 0xff2e8b57;

    // Starts a program on the desktop; its windows show later.
    bool launch(const QString& program);
    // The client side of the Wayland conversation of every program started so far.
    QByteArray protocolLog() const;

    bool xdotool(const QStringList& arguments) { return x_.xdotool(arguments); }
    QImage screenshot() { return x_.screenshot().convertToFormat(QImage::Format_RGB32); }

private:
    QProcessEnvironment environment() const;

    XSession x_;
    QTemporaryDir runtimeDirectory_;
    QProcess weston_;
    QString failure_;
    std::vector<std::unique_ptr<QProcess>> programs_;
};
