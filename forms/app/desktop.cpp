// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace forms {

void SystemDesktop::copyImage(const QImage& image) {
    QGuiApplication::clipboard()->setImage(image);
}

std::optional<QString> SystemDesktop::saveFileName(QWidget& parent, const QString& proposed) {
    // The dialog would ask only about the name as typed, not the one with ".png" added,
    // so the asking is left to the caller, who knows the final name.
    const QString name = QFileDialog::getSaveFileName(&parent, QStringLiteral("保存窗口图片"),
                                                      proposed, QStringLiteral("PNG 图片 (*.png)"),
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

std::optional<QRect> SystemDesktop::windowArea(const QWidget& window) {
    if (const QScreen* screen = window.screen()) return screen->availableGeometry();
    return std::nullopt;
}

}  // namespace forms
