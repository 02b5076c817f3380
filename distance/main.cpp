// SPDX-License-Identifier: GPL-3.0-or-later
#include <QGuiApplication>

#include "distanceform.h"
#include "lessonapp.h"

int main(int argc, char** argv) {
    return forms::runLesson(argc, argv, [](forms::FormEnvironment& environment) {
        // Ties the window to its desktop entry, for task bars and Wayland's app id.
        QGuiApplication::setDesktopFileName(QStringLiteral("org.planegeometry.dorvane"));
        return std::make_unique<distance::DistanceForm>(environment);
    });
}
