// SPDX-License-Identifier: GPL-3.0-or-later
// Screen-reader access to the windowless controls. The classic labels and images have no
// window of their own, so the toolkit cannot see them; these interfaces expose each one
// as a child of the widget that paints it, with its current text.
#pragma once

#include <map>
#include <string>

#include "timer.h"

class QWidget;

namespace forms {

class Windowless;

// Installs the accessibility factory once per process. The form calls it.
void installAccessibility();

// The text a screen reader gets for a windowless control.
std::string spokenText(const Windowless& control);

// Tells a screen reader which texts an input changed: every windowless control whose text
// differs from what it was last told gets a name-change event, and a canvas whose state
// differs a description-change event. At most four a second go out: an input after a
// quiet quarter second is told at once, later ones together a quarter second after the
// last telling, so what an input leaves is told within a quarter second.
class ChangeAnnouncer {
public:
    ChangeAnnouncer(QWidget& window, TimerDriver& timers);

    // After an input: a press, a move, a release or a key.
    void inputDone();

private:
    enum class Send { Changes, Nothing };
    void announce();
    void compare(Send send);
    // Whether a control's text or a host's state differs from what was last told of it;
    // remembers the new one.
    bool changed(const void* teller, std::string text);

    QWidget& window_;
    Timer gate_;
    bool pending_ = false;
    std::map<const void*, std::string> told_;
};

}  // namespace forms
