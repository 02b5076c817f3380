// SPDX-License-Identifier: GPL-3.0-or-later
#include <QGuiApplication>

#include "lessonapp.h"
#include "slopeform.h"

int main(int argc, char** argv) {
    return forms::runLesson(argc, argv, [](forms::FormEnvironment& environment) {
        // Ties the window to its desktop entry, for task bars and Wayland's app id.
        QGuiApplication::setDesktopFileName(QStringLiteral("org.planegeometry.skelvin"));
        return std::make_unique<slope::SlopeForm>(environment);
    });
}
