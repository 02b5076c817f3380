// SPDX-License-Identifier: GPL-3.0-or-later
#include <QGuiApplication>

#include "inclinationform.h"
#include "inclinationicon.h"
#include "lessonapp.h"

int main(int argc, char** argv) {
    return forms::runLesson(argc, argv, [](forms::FormEnvironment& environment) {
        // Ties the window to its desktop entry, for task bars and Wayland's app id.
        QGuiApplication::setDesktopFileName(QStringLiteral("org.planegeometry.quillet"));
        // The icon stands for the program as well as for its window: its message boxes too.
        QGuiApplication::setWindowIcon(inclination::lessonIcon().icon());
        return std::make_unique<inclination::InclinationForm>(environment);
    });
}
