// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessonapp.h"

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstring>

#include "clocks.h"

namespace forms {

namespace {

// Below a device pixel ratio of 1 the window is drawn magnified, clipped and noisy, so a
// scale factor that asks for one is refused, and the window shows at the screen's own.
void refuseScalesBelowOne(const char* program) {
    const QByteArray factor = qgetenv("QT_SCALE_FACTOR");
    bool isNumber = false;
    const double value = factor.toDouble(&isNumber);
    if (!isNumber || value >= 1) return;
    if (const char* slash = std::strrchr(program, '/')) program = slash + 1;
    std::fprintf(stderr, "%s: QT_SCALE_FACTOR=%s ignored: the lessons cannot be drawn below 1\n",
                 program, factor.constData());
    qunsetenv("QT_SCALE_FACTOR");
}

}  // namespace

int runLesson(int argc, char** argv, const FormFactory& makeForm) {
    refuseScalesBelowOne(argc > 0 ? argv[0] : "lesson");
    QApplication app(argc, argv);
    installFontMapping();
    RealTimeDriver timers;
    ModalMessagePresenter messages;
    FormEnvironment environment{timers, messages};
    const std::unique_ptr<Form> form = makeForm(environment);
    form->load();
    form->window().show();
    return app.exec();
}

}  // namespace forms
