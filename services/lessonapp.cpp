#include "lessonapp.h"

#include "clocks.h"
#include "startupprobe.h"

#include <QApplication>
#include <QWidget>

namespace forms {

int runLesson(int argc, char** argv, const FormFactory& makeForm) {
    QApplication app(argc, argv);
    installFontMapping();
    RealTimeDriver timers;
    ModalMessagePresenter messages;
    FormEnvironment environment{timers, messages};
    const std::unique_ptr<Form> form = makeForm(environment);
    form->load();
    armStartupProbe(form->window());
    form->window().show();
    return app.exec();
}

}  // namespace forms
