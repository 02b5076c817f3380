// SPDX-License-Identifier: GPL-3.0-or-later
#include "distanceform.h"
#include "lessonapp.h"

int main(int argc, char** argv) {
    return forms::runLesson(argc, argv, [](forms::FormEnvironment& environment) {
        return std::make_unique<distance::DistanceForm>(environment);
    });
}
