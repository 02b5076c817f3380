// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the slope lesson's tests: a started lesson, exact mouse events, the
// figure's lines read as plain geometry, the arcs an update drew, and red pixels.
#pragma once

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineF>
#include <QWidget>
#include <cmath>
#include <memory>
#include <vector>

#include "lessontest.h"

namespace slopetest {

// The lesson after ms of virtual time: 20 is just past the start-up tick, 2000 past the
// demonstration and the second blink.
inline std::unique_ptr<replay::Session> startedLesson(int ms = 2000) {
    auto session = std::make_unique<replay::Session>("skelvin");
    session->clock().advance(ms);
    return session;
}

inline forms::Canvas& canvas(replay::Session& session) {
    return lessontest::control<forms::Canvas>(session.form(), "Picture1");
}

// Mouse events with exactly these coordinates, which script text could round.
inline void press(replay::Session& session, float x, float y, int button = forms::LeftButton) {
    canvas(session).mouseDown(button, 0, x, y);
}
inline void move(replay::Session& session, float x, float y, int buttons = forms::LeftButton) {
    canvas(session).mouseMove(buttons, 0, x, y);
}

inline forms::LineShape& line(replay::Session& session, std::string_view name) {
    return lessontest::control<forms::LineShape>(session.form(), name);
}

inline QLineF ends(replay::Session& session, std::string_view name) {
    const forms::LineShape& shape = line(session, name);
    return {shape.x1(), shape.y1(), shape.x2(), shape.y2()};
}

inline QPointF topLeft(replay::Session& session, std::string_view name) {
    const forms::Control* control = session.form().control(name);
    if (const auto* label = dynamic_cast<const forms::Label*>(control))
        return {label->left(), label->top()};
    if (const auto* image = dynamic_cast<const forms::Image*>(control))
        return {image->left(), image->top()};
    throw std::logic_error("no label or image " + std::string(name));
}

inline bool isVisible(replay::Session& session, std::string_view name) {
    const auto* control = dynamic_cast<const forms::Windowless*>(session.form().control(name));
    if (!control) throw std::logic_error("no windowless control " + std::string(name));
    return control->isVisible();
}

// Equal up to what single-precision arithmetic leaves over.
inline bool near(const QLineF& a, const QLineF& b, double tolerance = 1e-4) {
    return std::abs(a.x1() - b.x1()) < tolerance && std::abs(a.y1() - b.y1()) < tolerance &&
           std::abs(a.x2() - b.x2()) < tolerance && std::abs(a.y2() - b.y2()) < tolerance;
}
inline bool near(QPointF a, QPointF b, double tolerance = 1e-4) {
    return near(QLineF(a, a), QLineF(b, b), tolerance);
}

// The harness writes single-precision numbers in their shortest form.
struct Arc {
    float x, y, radius, start, end;
    int width;
    unsigned color;
};

// The arcs drawn since the last call, in drawing order.
inline std::vector<Arc> takeArcs(replay::Session& session) {
    const auto state = QJsonDocument::fromJson(QByteArray::fromStdString(session.takeState()));
    std::vector<Arc> arcs;
    for (const QJsonValue call : state["drawn"].toArray()) {
        if (call["op"] != "Circle") continue;
        const auto single = [&](const char* key) { return float(call[key].toDouble()); };
        arcs.push_back({single("x"), single("y"), single("radius"), single("start"), single("end"),
                        call["width"].toInt(), unsigned(call["color"].toInteger())});
    }
    return arcs;
}

// Whether a canvas point is within a few pixels of clearly red ones in the window.
inline bool isRedNear(replay::Session& session, const QImage& image, double x, double y) {
    const QPoint origin = canvas(session).widget().mapTo(&session.form().window(), QPoint(2, 2));
    const QPoint centre = (canvas(session).scale().toPixels(x, y) + QPointF(origin)).toPoint();
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint at = centre + QPoint(dx, dy);
            if (!image.rect().contains(at)) continue;
            const QColor colour = image.pixelColor(at);
            if (colour.red() > 200 && colour.green() < 90 && colour.blue() < 90) return true;
        }
    }
    return false;
}

}  // namespace slopetest
