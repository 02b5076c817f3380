// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

namespace forms {

void SystemDesktop::copyImage(const QImage& image) {
    QGuiApplication::clipboard()->setImage(image);
}

std::optional<QString> SystemDesktop::saveFileName(QWidget& parent) {
    QString name = QFileDialog::getSaveFileName(
        &parent, QStringLiteral("保存窗口图片"),
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
        QStringLiteral("PNG 图片 (*.png)"));
    if (name.isEmpty()) return std::nullopt;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".png");
    return name;
}

std::optional<QRect> SystemDesktop::windowArea(const QWidget& window) {
    if (const QScreen* screen = window.screen()) return screen->availableGeometry();
    return std::nullopt;
}

}  // namespace forms
