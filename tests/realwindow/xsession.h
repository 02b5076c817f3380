// SPDX-License-Identifier: GPL-3.0-or-later
// A private X display for real-window tests: an Xvfb server, programs started on it,
// real input through xdotool and screenshots through ImageMagick's import. Everything it
// starts is ended when it goes.
#pragma once

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class XSession {
public:
    XSession();
    ~XSession();

    // Empty when the display is up, else why it could not start.
    const QString& failure() const { return failure_; }

    // Starts a program on the display and waits until its window titled `title` is mapped;
    // returns the window's top-left corner on the screen.
    bool launch(const QString& program, const QString& title, QPoint& windowOrigin);

    // xdotool with the given arguments; true when it succeeded. What it prints goes to
    // `output` when one is given.
    bool xdotool(const QStringList& arguments, QByteArray* output = nullptr);
    QImage screenshot();

    // Polls until the condition holds or the time-out passes (generous on a loaded machine).
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000);

    // This process's environment for a program on the display, without the test's own
    // Qt platform and scale.
    QProcessEnvironment environment() const;

private:

    QProcess server_;
    QString display_;
    QString failure_;
    std::vector<std::unique_ptr<QProcess>> programs_;
};
