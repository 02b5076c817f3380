// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a lesson as a desktop program: the command line, the application, the font
// mapping, the real clock, message boxes and desktop, then the window until it is closed.
#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <variant>

#include "lessonwindow.h"

namespace forms {

struct StartOptions {
    double zoomPercent = 100;
    bool fullScreen = false;
};

// What the command line asks for: options to start with, or an exit status after text
// for the terminal (help, version, or what was wrong: status 2).
struct StartExit {
    int status;
    std::string text;
};
std::variant<StartOptions, StartExit> parseStartOptions(const QStringList& arguments);

int runLesson(int argc, char** argv, const FormFactory& makeForm);

}  // namespace forms
