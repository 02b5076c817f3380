// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessonapp.h"
#include "slopeform.h"

int main(int argc, char** argv) {
    return forms::runLesson(argc, argv, [](forms::FormEnvironment& environment) {
        return std::make_unique<slope::SlopeForm>(environment);
    });
}
