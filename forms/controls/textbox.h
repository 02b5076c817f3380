// SPDX-License-Identifier: GPL-3.0-or-later
// A text box, a real one-line editor on the window. Like the classic control it holds
// at most 32767 characters; longer text is cut there.
#pragma once

#include <QPointer>
#include <functional>

#include "control.h"
#include "fonts.h"

class QLineEdit;
class QWidget;

namespace forms {

struct TextBoxDesign {
    std::string name;
    TwipsRect rect;
    std::string text;
    FontSpec font{"宋体", 9};
};

class TextBox : public Control {
public:
    TextBox(const TextBoxDesign& design, QWidget& window);
    ~TextBox() override;

    ControlKind kind() const override { return ControlKind::TextBox; }
    QWidget& widget();
    // Place, size and font enlarged by zoom; the lesson sees the design values.
    void setZoom(double zoom);

    std::string text() const;
    void setText(const std::string& text);
    void setAccessibleName(const std::string& name);

    // Enter or the keypad's Enter in the box.
    std::function<void()> onEnter;

private:
    TwipsRect rect_;
    FontSpec font_;
    QPointer<QLineEdit> edit_;
};

}  // namespace forms
