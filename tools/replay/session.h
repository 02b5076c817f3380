// SPDX-License-Identifier: GPL-3.0-or-later
// One lesson driven headless from script lines on a virtual clock: the heart of the
// lesson-replay tool, also used in-process by the tests and the benchmarks.
#pragma once

#include <QImage>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "clocks.h"
#include "desktop.h"
#include "excerpt.h"
#include "form.h"
#include "lessonwindow.h"
#include "messagebox.h"
#include "statejson.h"

namespace replay {

// An output the script asked for (a png line) that could not be written.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A script's text in an error message, cut short.
using forms::excerpt;

class Session {
public:
    // The longest wait one line may ask for: a day. Every tick on the way is run, and a
    // longer wait would keep the harness busy for no use.
    static constexpr long long kLongestWaitMs = 24LL * 60 * 60 * 1000;

    // Builds the lesson's window (the clock starts at 0) and runs Form_Load. A
    // QApplication must exist. Throws std::invalid_argument for an unknown lesson.
    explicit Session(std::string_view lesson);
    ~Session();

    // Runs one script line. Returns an error message for a malformed line; throws
    // OutputError when a png line cannot write its file.
    std::optional<std::string> run(std::string_view line);

    // The state as one line of JSON; the drawing calls are reported once.
    std::string takeState();
    bool stateWasPrinted() const { return statePrinted_; }
    // Drops the drawing calls recorded so far, for long runs that never report them.
    void forgetDrawing() { drawn_.clear(); }
    // Text the script asked to print (state lines), in order.
    std::string takeOutput();

    QImage render();
    forms::Form& form() { return window_->form(); }
    forms::LessonWindow& window() { return *window_; }
    forms::RecordingDesktop& desktop() { return desktop_; }
    forms::VirtualClock& clock() { return clock_; }
    const std::vector<forms::Message>& messages() const { return messages_.messages(); }
    // How message boxes are answered, and what they showed.
    forms::RecordingMessagePresenter& messageBoxes() { return messages_; }

private:
    std::optional<std::string> mouse(std::string_view command,
                                     const std::vector<std::string_view>& fields);
    forms::Canvas* canvas() const;
    std::optional<std::string> key(std::string_view sequence);

    std::string lesson_;
    forms::VirtualClock clock_;
    forms::RecordingMessagePresenter messages_;
    forms::FormEnvironment environment_{clock_, messages_};
    forms::RecordingDesktop desktop_;
    DrawingLog drawn_;
    std::unique_ptr<forms::LessonWindow> window_;
    std::string output_;
    bool statePrinted_ = false;
};

}  // namespace replay
