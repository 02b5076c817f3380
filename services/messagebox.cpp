// SPDX-License-Identifier: GPL-3.0-or-later
#include "messagebox.h"

#include <QMessageBox>

namespace forms {

void ModalMessagePresenter::present(QWidget& parent, const Message& message) {
    QMessageBox box(
        message.icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
        QString::fromStdString(message.title), QString::fromStdString(message.text),
        QMessageBox::Ok, &parent);
    box.setAccessibleName(QString::fromStdString(message.title));
    box.exec();
}

void RecordingMessagePresenter::present(QWidget&, const Message& message) {
    messages_.push_back(message);
}

}  // namespace forms
