// SPDX-License-Identifier: GPL-3.0-or-later
#include "messagebox.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <memory>

#include "repaintareas.h"

namespace forms {

namespace {

// The box's text enlarged, but no further than the box fits the screen. Qt would wrap
// lines that it finds too wide for a message, which at a large size is every line.
void enlarge(QMessageBox& box, double zoom, const QScreen* screen) {
    const QFont desktop = box.font();
    QLabel* text = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const auto show = [&](double by) {
        QFont font = desktop;
        if (font.pixelSize() > 0)
            font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * by))));
        else
            font.setPointSizeF(font.pointSizeF() * by);
        box.setFont(font);
        for (QAbstractButton* button : box.buttons()) button->setMinimumSize(button->sizeHint());
        if (text) {
            text->setMinimumWidth(0);
            text->setMinimumWidth(text->sizeHint().width());
        }
    };
    show(zoom);
    const QSize wanted = box.sizeHint();
    if (!screen || wanted.isEmpty()) return;
    const QRect room = screen->availableGeometry();
    const double fit =
        std::min(0.95 * room.width() / wanted.width(), 0.9 * room.height() / wanted.height());
    if (fit < 1) show(std::max(1.0, zoom * fit));
}

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
    if (message.zoom != 1) enlarge(*box, message.zoom, parent.screen());
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
