// SPDX-License-Identifier: GPL-3.0-or-later
// A command button, a real push button on the window.
#pragma once

#include <QPointer>
#include <functional>

#include "control.h"
#include "fonts.h"

class QPushButton;
class QWidget;

namespace forms {

struct ButtonDesign {
    std::string name;
    TwipsRect rect;
    std::string caption;
    FontSpec font{"宋体", 9};
    bool visible = true;
    // The form's default button: Enter in any of the form's text boxes presses it.
    bool isDefault = false;
};

class Button : public Control {
public:
    Button(const ButtonDesign& design, QWidget& window);
    ~Button() override;

    ControlKind kind() const override { return ControlKind::Button; }
    QWidget& widget();
    // Place, size and font enlarged by zoom; the lesson sees the design values.
    void setZoom(double zoom);

    const std::string& caption() const { return caption_; }
    bool isVisible() const { return visible_; }
    void setVisible(bool visible);
    // What a screen reader calls the button; its caption unless set.
    void setAccessibleName(const std::string& name);

    bool isDefault() const { return isDefault_; }

    std::function<void()> onClick;
    // A click as the pupil makes it: nothing happens on a hidden button.
    void click();

private:
    TwipsRect rect_;
    FontSpec font_;
    QPointer<QPushButton> button_;
    std::string caption_;
    bool visible_;
    bool isDefault_;
};

}  // namespace forms
