#include <QGuiApplication>

#include "inclinationform.h"
#include "lessonapp.h"
#include "inclinationpictures.h"

int main(int argc, char** argv) {
    return forms::runLesson(argc, argv, [](forms::FormEnvironment& environment) {
        // The folder stands for the program as well as for its window.
        QGuiApplication::setWindowIcon(inclination::folderIcon());
        return std::make_unique<inclination::InclinationForm>(environment);
    });
}
