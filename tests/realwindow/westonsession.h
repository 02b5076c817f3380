// SPDX-License-Identifier: GPL-3.0-or-later
// A private Wayland desktop for real-window tests: weston in a window at the top left of a
// private X display, so that xdotool's X input reaches the Wayland programs through weston and
// a screenshot of the X display shows what weston shows, pixel for pixel. Programs start on it with
// Qt's wayland platform and their protocol traffic logged. Everything it starts is ended when it
// goes.
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

    // The desktop's colour, everywhere no window is.
    static constexpr QRgb kBackground = 0xff2e8b57;

    // Starts a program on the desktop; its windows show later. The pointer waits in the
    // output's bottom left corner.
    bool launch(const QString& program);
    // The client side of the Wayland conversation of every program started so far.
    QByteArray protocolLog() const;

    bool xdotool(const QStringList& arguments) { return x_.xdotool(arguments); }
    // Takes the pointer off weston's window and back in at `point`. weston's X backend
    // follows the pointer's moves over its window relative to where it came in, and can
    // lose it for good; coming in again places it anew.
    bool enterAt(QPoint point);
    // What weston shows, in its own coordinates, which are also the X display's.
    QImage screenshot();

private:
    QProcessEnvironment environment() const;

    XSession x_;
    QTemporaryDir runtimeDirectory_;
    QProcess weston_;
    QString failure_;
    QSize output_;
    std::vector<std::unique_ptr<QProcess>> programs_;
};
