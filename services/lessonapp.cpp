// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessonapp.h"

#include <QApplication>
#include <QWidget>

#include "clocks.h"

namespace forms {

int runLesson(int argc, char** argv, const FormFactory& makeForm) {
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
