// SPDX-License-Identifier: GPL-3.0-or-later
// A private X display for real-window tests: an Xvfb server, programs started on it,
// real input through xdotool and screenshots through ImageMagick's import; if asked, a
// window manager, and a screen whose size can change (an Xephyr server inside the Xvfb
// one, which follows its window's size through RandR). Everything it starts is ended when
// it goes.
#pragma once

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class XSession {
public:
    enum class Manager { None, Openbox };
    enum class Screen { Fixed, Resizable };
    explicit XSession(QSize screen = {1024, 768}, Manager manager = Manager::None,
                      Screen kind = Screen::Fixed);
    ~XSession();

    // Empty when the display is up, else why it could not start.
    const QString& failure() const { return failure_; }

    // Starts a program on the display and waits until its window titled `title` is mapped;
    // returns the window's id, or nothing if none showed.
    QString launch(const QString& program, const QStringList& arguments, const QString& title);

    // The window on the screen without and with the frame the window manager drew.
    QRect clientGeometry(const QString& window);
    QRect frameGeometry(const QString& window);
    // Changes a resizable screen's size; true once the display reports the new one.
    bool resizeScreen(QSize size);

    // xdotool with the given arguments; true when it succeeded. What it prints goes to
    // `output` when one is given.
    bool xdotool(const QStringList& arguments, QByteArray* output = nullptr);
    QImage screenshot();

    // Polls until the condition holds or the time-out passes (generous on a loaded machine).
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000);

    // This process's environment for a program on the display, without the test's own
    // Qt platform and scale.
    QProcessEnvironment environment() const;
    QString output(const QString& program, const QStringList& arguments);
    // Starts an X server that picks its own display; its number, or empty with failure_ set.
    QString startServer(QProcess& server, const QString& program, const QStringList& arguments,
                        const QString& host);
    bool startOpenbox();

private:
    QProcess server_;
    QProcess nested_;
    QString host_;  // Xvfb's display when the lessons run on the nested one
    QString display_;
    QString failure_;
    std::vector<std::unique_ptr<QProcess>> programs_;
};
