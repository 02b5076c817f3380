// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for start-up: the smallest Qt 6 window with one Chinese label, built the
// way the lessons are built (same application setup, font mapping and probe).
#include <QApplication>
#include <QLabel>

#include "fonts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    forms::installFontMapping();
    QLabel window(QStringLiteral("两点间的距离公式"));
    window.setFont(forms::toQFont({"宋体", 15}));
    window.setWindowTitle(QStringLiteral("两点间的距离公式"));
    window.resize(524, 492);
    window.show();
    return app.exec();
}
