// SPDX-License-Identifier: GPL-3.0-or-later
#include <QKeyEvent>
#include <QResizeEvent>
#include <QTest>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "accessibility.h"
#include "clocks.h"
#include "form.h"

using namespace forms;

namespace {

// One way a control may be made to call a handler.
enum class Event {
    Tick,
    ButtonClick,
    ImageClick,
    Enter,
    MouseDown,
    MouseMove,
    MouseUp,
    KeyDown,
    KeyUp,
    KeyMarkAsked,
    StateRead,
    TextRead,
    Resize
};

// The controls an event is sent to.
struct Targets {
    Canvas* canvas;
    Button* button;
    TextBox* box;
    Image* image;
    Label* label;
    QWidget* window;
};

// A form with a handler of its own for every event, each writing into the form's members.
// Calls counts every call of a handler, heard those of the one that an event is for.
class HeardForm : public Form {
public:
    HeardForm(FormEnvironment& environment, Event listened, int& calls, int& heard)
        : Form(environment, {.caption = "heard", .clientWidth = 3000, .clientHeight = 3000}),
          listened_(listened),
          calls_(calls),
          heardCalls_(heard) {
        heard_.reserve(4);
        Canvas* canvas = addCanvas({.name = "Picture1", .rect = {0, 0, 2000, 2000}});
        Button* button = addButton({.name = "Command1", .rect = {2000, 0, 900, 400}});
        TextBox* box = addTextBox({.name = "Text1", .rect = {2000, 500, 900, 400}});
        Timer* timer = addTimer({.name = "Timer1", .interval = 100});
        Image* image = addImage({.name = "Image1", .left = 2000, .top = 1000});
        Label* label =
            addLabel({.name = "Label1", .rect = {0, 0, 600, 330}, .caption = "A"}, canvas);
        targets = {canvas, button, box, image, label, &window()};

        timer->onTimer = [this] { hear(Event::Tick); };
        button->onClick = [this] { hear(Event::ButtonClick); };
        image->onClick = [this] { hear(Event::ImageClick); };
        box->onEnter = [this] { hear(Event::Enter); };
        canvas->onMouseDown = [this](const MouseEvent&) { hear(Event::MouseDown); };
        canvas->onMouseMove = [this](const MouseEvent&) { hear(Event::MouseMove); };
        canvas->onKeyDown = [this](const KeyEvent&) {
            hear(Event::KeyDown);
            return true;
        };
        canvas->onKeyUp = [this](const KeyEvent&) { hear(Event::KeyUp); };
        canvas->keyMark = [this]() -> std::optional<KeyMark> {
            hear(Event::KeyMarkAsked);
            return KeyMark{KeyMarkShape::Ring, 1, 1};
        };
        canvas->accessibleState = [this] {
            hear(Event::StateRead);
            return std::string("state");
        };
        label->accessibleText = [this] {
            hear(Event::TextRead);
            return std::string("text");
        };
    }

    Targets targets;

private:
    void hear(Event event) {
        heard_.push_back(event);
        ++calls_;
        if (event == listened_) ++heardCalls_;
    }
    Event listened_;
    std::vector<Event> heard_;
    int& calls_;
    int& heardCalls_;
};

// A virtual clock that runs a hook when it is next told to cancel a timer. As a form is
// destroyed, the first timer to go is its announcer's: the lesson's members and the form's
// own are gone by then, while the window and the controls still stand.
class HookedClock : public VirtualClock {
public:
    std::function<void()> onCancel;
    void cancel(Timer& timer) override {
        VirtualClock::cancel(timer);
        if (auto hook = std::exchange(onCancel, nullptr)) hook();
    }
};

void send(Event event, const Targets& to, VirtualClock& clock) {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QResizeEvent resize(QSize(300, 300), to.window->size());
    if (event == Event::Tick) clock.advance(100);
    if (event == Event::ButtonClick) to.button->click();
    if (event == Event::ImageClick) to.image->click();
    if (event == Event::Enter) QCoreApplication::sendEvent(&to.box->widget(), &enter);
    if (event == Event::MouseDown) to.canvas->mouseDown(LeftButton, 0, 1, 1);
    if (event == Event::MouseMove) to.canvas->mouseMove(LeftButton, 0, 2, 2);
    if (event == Event::MouseUp) to.canvas->mouseUp(LeftButton, 0, 2, 2);
    if (event == Event::KeyDown) to.canvas->keyDown(KeyLeft, 0, false);
    if (event == Event::KeyUp) to.canvas->keyUp(KeyLeft, 0, false);
    if (event == Event::KeyMarkAsked) to.canvas->keyMark();
    if (event == Event::StateRead) to.canvas->accessibleState();
    if (event == Event::TextRead) spokenText(*to.label);
    if (event == Event::Resize) QCoreApplication::sendEvent(to.window, &resize);
}

}  // namespace

class TestForm : public QObject {
    Q_OBJECT
private slots:
    // Whatever still reaches a control while its form is destroyed (a timer's tick, an
    // event on the closing window) calls no handler of the lesson or of the form: their
    // members are gone by then.
    void handlersAreNeverCalledOnceTheirFormIsGone_data() {
        QTest::addColumn<Event>("event");
        // How many of the lesson's handlers the event reaches while the form lives. Mouse
        // up and a resize reach only the form's own, which would use its freed members.
        QTest::addColumn<int>("heard");
        QTest::newRow("timer tick") << Event::Tick << 1;
        QTest::newRow("button click") << Event::ButtonClick << 1;
        QTest::newRow("image click") << Event::ImageClick << 1;
        QTest::newRow("Enter in a text box") << Event::Enter << 1;
        QTest::newRow("mouse down") << Event::MouseDown << 1;
        QTest::newRow("mouse move") << Event::MouseMove << 1;
        QTest::newRow("mouse up") << Event::MouseUp << 0;
        QTest::newRow("key down") << Event::KeyDown << 1;
        QTest::newRow("key up") << Event::KeyUp << 1;
        QTest::newRow("key mark asked") << Event::KeyMarkAsked << 1;
        QTest::newRow("canvas state read") << Event::StateRead << 1;
        QTest::newRow("label read") << Event::TextRead << 1;
        QTest::newRow("window resized") << Event::Resize << 0;
    }
    void handlersAreNeverCalledOnceTheirFormIsGone() {
        QFETCH(Event, event);
        QFETCH(int, heard);
        HookedClock clock;
        RecordingMessagePresenter messages;
        FormEnvironment environment{clock, messages};
        int calls = 0;
        int heardCalls = 0;
        auto form = std::make_unique<HeardForm>(environment, event, calls, heardCalls);
        form->load();
        form->window().show();

        const int heardBefore = heardCalls;
        send(event, form->targets, clock);
        QCOMPARE(heardCalls - heardBefore, heard);
        const int callsBefore = calls;

        bool sent = false;
        clock.onCancel = [&, targets = form->targets] {
            send(event, targets, clock);
            sent = true;
        };
        form.reset();
        QVERIFY(sent);
        QCOMPARE(calls, callsBefore);
    }
};

QTEST_MAIN(TestForm)
#include "tst_form.moc"
