// SPDX-License-Identifier: GPL-3.0-or-later
#include "messagebox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <memory>

#include "repaintareas.h"

namespace forms {

namespace {

std::unique_ptr<QMessageBox> makeBox(QWidget& parent, const Message& message) {
    auto box = std::make_unique<QMessageBox>(
        message.icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
        QString::fromStdString(message.title), QString::fromStdString(message.text),
        QMessageBox::Ok, &parent);
    box->setAccessibleName(QString::fromStdString(message.title));
    return box;
}

}  // namespace

void ModalMessagePresenter::present(QWidget& parent, const Message& message) {
    // Shown from within a lesson's handler: what it changed so far shows behind the box,
    // and whatever changes while the box is up shows at once.
    const RepaintBatch::Pause pause;
    makeBox(parent, message)->exec();
}

void RecordingMessagePresenter::present(QWidget& parent, const Message& message) {
    // The box is made as the window would show it, so the record holds its real buttons.
    Message recorded = message;
    recorded.buttons.clear();
    const std::unique_ptr<QMessageBox> box = makeBox(parent, message);
    for (const QAbstractButton* button : box->buttons())
        recorded.buttons.push_back(button->text().toStdString());
    messages_.push_back(std::move(recorded));
}

}  // namespace forms
