// SPDX-License-Identifier: GPL-3.0-or-later
#include "session.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "lessons.h"
#include "pngfile.h"
#include "statejson.h"

// Qt's own gate for shortcuts, the one its test library uses to send keys: a key press
// first offers itself to the window's shortcuts and only then goes to the widget.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* receiver, ulong timestamp, int key,
                                               Qt::KeyboardModifiers modifiers, const QString& text,
                                               bool autoRepeat, ushort count);

namespace replay {

using namespace forms;

namespace {

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) break;
        const size_t end = std::min(line.find_first_of(" \t", start), line.size());
        fields.push_back(line.substr(start, end - start));
        at = end;
    }
    return fields;
}

// A decimal number filling the whole field. "nan" and "inf" are no positions a pointer
// can have, so they count as malformed.
template <class Number>
std::optional<Number> parse(std::string_view field) {
    Number value{};
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size()) return std::nullopt;
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value)) return std::nullopt;
    }
    return value;
}

// The text after the command word and the control name, kept as typed.
std::string_view restAfterTwoFields(std::string_view line) {
    size_t at = line.find_first_not_of(" \t");
    for (int field = 0; field < 2 && at != std::string_view::npos; ++field) {
        at = line.find_first_of(" \t", at);
        if (at == std::string_view::npos) return {};
        if (field == 0) at = line.find_first_not_of(" \t", at);
    }
    return at == std::string_view::npos ? std::string_view() : line.substr(at + 1);
}

// The text a key types, as a keyboard would send it with the key.
QString typedText(QKeyCombination combination) {
    const int key = combination.key();
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return {};
    if (key < 0x20 || key > 0x7e) return {};
    const QChar character(key);
    return modifiers & Qt::ShiftModifier ? QString(character) : QString(character.toLower());
}

}  // namespace

Session::Session(std::string_view lesson) : lesson_(lesson) {
    // Text is measured and drawn with the faces the windows use.
    installFontMapping();
    const std::vector<std::string_view> names = lessonNames();
    if (std::find(names.begin(), names.end(), lesson) == names.end())
        throw std::invalid_argument("unknown lesson: " + excerpt(lesson));
    // Made again by Ctrl+R: each new form reports its drawing too.
    const auto make = [name = lesson_](FormEnvironment& environment) {
        return makeLesson(name, environment);
    };
    const auto watch = [this](Form& form) {
        form.watchDrawing([this](const DrawingCall& call) { drawn_.push_back(call); });
    };
    window_ = std::make_unique<LessonWindow>(environment_, make, desktop_, 100, watch);
    window_->show();
}

Session::~Session() = default;

Canvas* Session::canvas() const {
    return as<Canvas>(window_->form().control("Picture1"));
}

std::optional<std::string> Session::mouse(std::string_view command,
                                          const std::vector<std::string_view>& fields) {
    if (fields.size() < 3 || fields.size() > 4)
        return "expected: " + std::string(command) + " X Y [BUTTON]";
    const auto x = parse<float>(fields[1]);
    const auto y = parse<float>(fields[2]);
    const auto buttons =
        fields.size() == 4 ? parse<int>(fields[3]) : std::optional<int>(command == "move" ? 0 : 1);
    if (!x || !y || !buttons || *buttons < 0 || *buttons > 7)
        return "bad number in " + std::string(command) + " line";
    Canvas* target = canvas();
    if (!target) return "the lesson has no canvas";
    if (command == "down") target->mouseDown(*buttons, 0, *x, *y);
    if (command == "up") target->mouseUp(*buttons, 0, *x, *y);
    if (command == "move") target->mouseMove(*buttons, 0, *x, *y);
    return std::nullopt;
}

// A key press and its release, sent as the keyboard sends them to the widget with the
// focus; a key the widget does not take goes on to its window.
std::optional<std::string> Session::key(std::string_view sequence) {
    const QKeySequence keys = QKeySequence::fromString(
        QString::fromUtf8(sequence.data(), qsizetype(sequence.size())), QKeySequence::PortableText);
    if (keys.count() != 1 || keys[0].key() == Qt::Key_unknown)
        return "not one key: " + excerpt(sequence);
    const QKeyCombination combination = keys[0];
    // Keys go to the active window, as on a desktop where the pupil has just opened it;
    // a run without keys leaves the window as it was for the timings of the soak.
    if (!window_->isActiveWindow()) {
        window_->activateWindow();
        QCoreApplication::processEvents();
    }
    const QString text = typedText(combination);
    const auto focused = [this]() -> QWidget* {
        QWidget* widget = window_->focusWidget();
        return widget ? widget : static_cast<QWidget*>(window_.get());
    };
    QPointer<QWidget> target = focused();
    QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers(), text);
    if (!qt_sendShortcutOverrideEvent(target, press.timestamp(), combination.key(),
                                      combination.keyboardModifiers(), text, false, 1)) {
        if (target) QApplication::sendEvent(target, &press);
    }
    QKeyEvent release(QEvent::KeyRelease, combination.key(), combination.keyboardModifiers(), text);
    QApplication::sendEvent(focused(), &release);
    // What the window system answers to the key (full screen is sized by it) is part of
    // the key's effect.
    QCoreApplication::processEvents();
    return std::nullopt;
}

std::optional<std::string> Session::run(std::string_view line) {
    const std::vector<std::string_view> fields = splitFields(line);
    if (fields.empty() || fields[0].front() == '#') return std::nullopt;
    const std::string_view command = fields[0];
    if (command == "down" || command == "up" || command == "move") return mouse(command, fields);
    if (command == "click") {
        if (fields.size() != 2) return "expected: click NAME";
        Control* control = form().control(fields[1]);
        if (auto* button = as<Button>(control))
            button->click();
        else if (auto* image = as<Image>(control))
            image->click();
        else
            return "no button or image named " + excerpt(fields[1]);
        return std::nullopt;
    }
    if (command == "text") {
        if (fields.size() < 2) return "expected: text NAME REST";
        auto* box = as<TextBox>(form().control(fields[1]));
        if (!box) return "no text box named " + excerpt(fields[1]);
        box->setText(std::string(restAfterTwoFields(line)));
        return std::nullopt;
    }
    if (command == "key") {
        if (fields.size() != 2) return "expected: key SEQ";
        return key(fields[1]);
    }
    if (command == "wait") {
        const auto ms = fields.size() == 2 ? parse<long long>(fields[1]) : std::nullopt;
        if (!ms || *ms < 0) return "expected: wait MS";
        if (*ms > kLongestWaitMs)
            return "a wait longer than a day (" + std::to_string(kLongestWaitMs) + " ms)";
        clock_.advance(*ms);
        return std::nullopt;
    }
    if (command == "state") {
        if (fields.size() != 1) return "expected: state";
        output_ += takeState() + "\n";
        return std::nullopt;
    }
    if (command == "png") {
        if (fields.size() != 2) return "expected: png FILE";
        const QString path = QString::fromUtf8(fields[1].data(), qsizetype(fields[1].size()));
        if (const auto failure = writePng(render(), path))
            throw OutputError("cannot write " + excerpt(fields[1]) + ": " + *failure);
        return std::nullopt;
    }
    return "unknown command " + excerpt(command);
}

std::string Session::takeState() {
    statePrinted_ = true;
    std::string json =
        stateJson(lesson_, form(), window_->zoomPercent(), messages_.messages(), drawn_);
    drawn_.clear();
    return json;
}

std::string Session::takeOutput() {
    return std::exchange(output_, {});
}

QImage Session::render() {
    return window_->picture();
}

}  // namespace replay
