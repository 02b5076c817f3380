// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for the lesson tests: a lesson run headless on the virtual clock, typed access
// to its controls and variables by name, exact pointer events, what it drew, and what
// the screen shows.
#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineF>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <array>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "session.h"

namespace lessontest {

using replay::Session;

// The lesson after ms of virtual time.
inline std::unique_ptr<Session> started(std::string_view lesson, int ms) {
    auto session = std::make_unique<Session>(lesson);
    session->clock().advance(ms);
    return session;
}

template <class ControlType>
ControlType& control(Session& session, std::string_view name) {
    auto* found = dynamic_cast<ControlType*>(session.form().control(name));
    if (!found) throw std::logic_error("no control " + std::string(name) + " of that kind");
    return *found;
}
inline forms::LineShape& line(Session& s, std::string_view name) {
    return control<forms::LineShape>(s, name);
}
inline forms::Label& label(Session& s, std::string_view name) {
    return control<forms::Label>(s, name);
}
inline forms::Canvas& canvas(Session& s) {
    return control<forms::Canvas>(s, "Picture1");
}
inline QString caption(Session& s, std::string_view name) {
    return QString::fromStdString(label(s, name).caption());
}
inline QLineF ends(Session& s, std::string_view name) {
    const forms::LineShape& shape = line(s, name);
    return {shape.x1(), shape.y1(), shape.x2(), shape.y2()};
}
inline QPointF topLeft(Session& s, std::string_view name) {
    if (const auto* image = dynamic_cast<const forms::Image*>(s.form().control(name)))
        return {image->left(), image->top()};
    const auto& box = control<forms::BoxControl>(s, name);
    return {box.left(), box.top()};
}
inline bool isVisible(Session& s, std::string_view name) {
    return control<forms::Windowless>(s, name).isVisible();
}
inline bool allVisible(Session& s, std::initializer_list<const char*> names, bool visible = true) {
    for (const char* name : names) {
        if (isVisible(s, name) != visible) return false;
    }
    return true;
}

inline double variable(Session& s, std::string_view name) {
    for (const forms::Variable& variable : s.form().variables()) {
        if (variable.name == name)
            return std::visit([](auto value) { return double(value); }, variable.value);
    }
    throw std::logic_error("no variable " + std::string(name));
}

// Declares a data table's columns in one go: columns<int, QString>({"count", "text"}).
template <class... Types>
void columns(const std::array<const char*, sizeof...(Types)>& names) {
    size_t at = 0;
    (QTest::addColumn<Types>(names[at++]), ...);
}

// Runs script lines (one per line of the text) and fails the test on a malformed one.
inline void run(Session& session, std::string_view script) {
    size_t at = 0;
    while (at <= script.size()) {
        const size_t end = std::min(script.find('\n', at), script.size());
        const auto error = session.run(script.substr(at, end - at));
        if (error) throw std::logic_error("script line failed: " + *error);
        at = end + 1;
    }
}

// Pointer events with exactly these coordinates, which script text could round.
inline void press(Session& s, QPointF at, int button = forms::LeftButton) {
    canvas(s).mouseDown(button, 0, float(at.x()), float(at.y()));
}
inline void move(Session& s, QPointF at, int buttons = forms::LeftButton) {
    canvas(s).mouseMove(buttons, 0, float(at.x()), float(at.y()));
}

// The state the harness reports, and the drawing calls of one kind since the last report.
inline QJsonObject state(Session& s) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(s.takeState())).object();
}
inline QJsonArray drawn(Session& s, const QString& op = {}) {
    QJsonArray found;
    for (const QJsonValue call : state(s)["drawn"].toArray()) {
        if (op.isEmpty() || call["op"] == op) found.append(call);
    }
    return found;
}

// Controls' properties as the harness reports them, as a table of "Control.Property" and
// the value expected there.
using Properties = std::vector<std::pair<const char*, QJsonValue>>;
inline void compareProperties(Session& s, const Properties& expected) {
    const QJsonObject controls = state(s)["controls"].toObject();
    for (const auto& [path, value] : expected) {
        const QStringList parts = QString(path).split('.');
        const QJsonValue actual = controls[parts[0]][parts[1]];
        QVERIFY2(actual == value,
                 qPrintable(QString(path) + " is " + QJsonDocument(QJsonArray{actual}).toJson()));
    }
}

// Equal up to what single-precision arithmetic leaves over.
inline bool nearly(const QLineF& a, const QLineF& b, double tolerance = 1e-4) {
    return std::abs(a.x1() - b.x1()) <= tolerance && std::abs(a.y1() - b.y1()) <= tolerance &&
           std::abs(a.x2() - b.x2()) <= tolerance && std::abs(a.y2() - b.y2()) <= tolerance;
}

// Where a canvas point lies in the rendered window, in logical pixels.
inline QPointF windowPixel(Session& s, double x, double y) {
    const QPoint origin = canvas(s).widget().mapTo(&s.form().window(), QPoint(2, 2));
    return canvas(s).scale().toPixels(x, y) + QPointF(origin);
}

// How many clearly red pixels lie within radius of a canvas point in the window.
inline int redPixelsNear(Session& s, const QImage& image, double x, double y, int radius = 2) {
    const QPoint centre = windowPixel(s, x, y).toPoint();
    int count = 0;
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint at = centre + QPoint(dx, dy);
            if (!image.rect().contains(at)) continue;
            const QColor colour = image.pixelColor(at);
            if (colour.red() > 200 && colour.green() < 90 && colour.blue() < 90) ++count;
        }
    }
    return count;
}

// Paints what the handlers invalidated, as the event loop would, and compares the screen
// with a full repaint: a change that invalidates too little leaves stale pixels behind.
inline bool screenMatchesFullRepaint(Session& s) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QWidget& window = s.form().window();
    // The client area inside the top-level window that holds it.
    const QImage onScreen = window.screen()
                                ->grabWindow(window.window()->winId(), window.x(), window.y(),
                                             window.width(), window.height())
                                .toImage();
    return onScreen.convertToFormat(QImage::Format_RGB32) ==
           window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QString lineText(const QLineF& line) {
    const auto text = [](double value) { return QString::number(value, 'g', 9); };
    return "(" + text(line.x1()) + ", " + text(line.y1()) + ")-(" + text(line.x2()) + ", " +
           text(line.y2()) + ")";
}

}  // namespace lessontest

namespace QTest {

template <>
inline char* toString(const QLineF& line) {
    return qstrdup(qPrintable(lessontest::lineText(line)));
}

}  // namespace QTest

#define COMPARE_NEARLY(actual, expected)      \
    QVERIFY2(                                 \
        lessontest::nearly(actual, expected), \
        qPrintable(lessontest::lineText(actual) + " against " + lessontest::lineText(expected)))
