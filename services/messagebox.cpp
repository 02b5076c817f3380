// SPDX-License-Identifier: GPL-3.0-or-later
#include "messagebox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <memory>

#include "repaintareas.h"

namespace forms {

namespace {

// A box with OK; for a question, its accepting button beside Cancel, which Enter and Escape
// both press: a slip of the hand must not replace anything.
std::unique_ptr<QMessageBox> makeBox(QWidget& parent, const Message& message,
                                     const std::string& accept = {}) {
    auto box = std::make_unique<QMessageBox>(
        message.icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
        QString::fromStdString(message.title), QString::fromStdString(message.text),
        accept.empty() ? QMessageBox::Ok : QMessageBox::Cancel, &parent);
    if (!accept.empty()) {
        box->addButton(QString::fromStdString(accept), QMessageBox::AcceptRole);
        box->setDefaultButton(QMessageBox::Cancel);
    }
    box->setAccessibleName(QString::fromStdString(message.title));
    return box;
}

Message recorded(const Message& message, const QMessageBox& box) {
    Message kept = message;
    kept.buttons.clear();
    for (const QAbstractButton* button : box.buttons())
        kept.buttons.push_back(button->text().toStdString());
    return kept;
}

}  // namespace

void ModalMessagePresenter::present(QWidget& parent, const Message& message) {
    // Shown from within a lesson's handler: what it changed so far shows behind the box,
    // and whatever changes while the box is up shows at once.
    const RepaintBatch::Pause pause;
    makeBox(parent, message)->exec();
}

bool ModalMessagePresenter::ask(QWidget& parent, const Message& question,
                                const std::string& accept) {
    const RepaintBatch::Pause pause;
    const std::unique_ptr<QMessageBox> box = makeBox(parent, question, accept);
    box->exec();
    return box->buttonRole(box->clickedButton()) == QMessageBox::AcceptRole;
}

// The box is made as the window would show it, so the record holds its real buttons.
void RecordingMessagePresenter::present(QWidget& parent, const Message& message) {
    messages_.push_back(recorded(message, *makeBox(parent, message)));
}

bool RecordingMessagePresenter::ask(QWidget& parent, const Message& question,
                                    const std::string& accept) {
    messages_.push_back(recorded(question, *makeBox(parent, question, accept)));
    return answer;
}

}  // namespace forms
