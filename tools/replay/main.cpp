// SPDX-License-Identifier: GPL-3.0-or-later
// lesson-replay [--png FILE] [--scale N] LESSON [SCRIPT]
// Runs a lesson headless on a virtual clock, driven by script lines from SCRIPT or
// standard input, and prints its state as JSON.
#include <QApplication>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "fonts.h"
#include "session.h"

namespace {

int usage() {
    std::cerr << "usage: lesson-replay [--png FILE] [--scale N] LESSON [SCRIPT]\n"
                 "LESSON is dorvane, skelvin or quillet\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string pngPath;
    std::string scale = "1";
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--png" || arg == "--scale") && i + 1 < argc) {
            (arg == "--png" ? pngPath : scale) = argv[++i];
        } else if (arg.starts_with("--")) {
            return usage();
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty() || positional.size() > 2) return usage();
    char* end = nullptr;
    const double ratio = std::strtod(scale.c_str(), &end);
    if (*end != '\0' || !(ratio >= 0.5 && ratio <= 8)) return usage();

    // Headless, and at exactly the requested device pixel ratio whatever the machine says.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", QByteArray::fromStdString(scale));
    // No screen reader listens to a headless run; do not look for one on the session bus.
    if (qEnvironmentVariableIsEmpty("QT_ACCESSIBILITY")) qputenv("QT_ACCESSIBILITY", "0");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    forms::installFontMapping();

    std::ifstream file;
    if (positional.size() == 2) {
        file.open(positional[1]);
        if (!file) {
            std::cerr << "lesson-replay: cannot read " << positional[1] << "\n";
            return 2;
        }
    }
    std::istream& script = positional.size() == 2 ? static_cast<std::istream&>(file) : std::cin;

    try {
        replay::Session session(positional[0]);
        std::string line;
        for (int number = 1; std::getline(script, line); ++number) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto error = session.run(line);
            std::cout << session.takeOutput() << std::flush;
            if (error) {
                std::cerr << "lesson-replay: line " << number << ": " << *error << "\n";
                return 2;
            }
        }
        if (!session.stateWasPrinted()) std::cout << session.takeState() << "\n";
        if (!pngPath.empty() && !session.render().save(QString::fromStdString(pngPath), "PNG")) {
            std::cerr << "lesson-replay: cannot write " << pngPath << "\n";
            return 2;
        }
    } catch (const std::invalid_argument& error) {
        std::cerr << "lesson-replay: " << error.what() << "\n";
        return 2;
    }
    return 0;
}
