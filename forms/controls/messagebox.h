// SPDX-License-Identifier: GPL-3.0-or-later
// Modal message boxes with one OK button, and questions with a button that does what they
// ask beside Cancel. The window shows them for real; the replay harness and the tests
// answer them at once and keep a record.
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace forms {

enum class MessageIcon { None, Exclamation };

struct Message {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    // The box's text enlarged as the window is: 2 is twice the desktop's size.
    double zoom = 1;
    // The texts of the box's buttons as Qt made them (recorded boxes only).
    std::vector<std::string> buttons;
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Returns when the box is closed.
    virtual void present(QWidget& parent, const Message& message) = 0;
    // A question with the buttons `accept` and Cancel, Cancel the default; true only when
    // `accept` was pressed.
    virtual bool ask(QWidget& parent, const Message& question, const std::string& accept) = 0;
};

class ModalMessagePresenter : public MessagePresenter {
public:
    void present(QWidget& parent, const Message& message) override;
    bool ask(QWidget& parent, const Message& question, const std::string& accept) override;
};

class RecordingMessagePresenter : public MessagePresenter {
public:
    void present(QWidget& parent, const Message& message) override;
    // Questions are answered with `answer`: Cancel, as the default button, unless set.
    bool ask(QWidget& parent, const Message& question, const std::string& accept) override;
    const std::vector<Message>& messages() const { return messages_; }

    bool answer = false;

private:
    std::vector<Message> messages_;
};

}  // namespace forms
