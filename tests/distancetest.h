// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the distance lesson's tests: a started lesson, its points and lines
// read as plain geometry, and the canvas position of a point in the rendered window.
#pragma once

#include <QImage>
#include <QLineF>
#include <QWidget>
#include <memory>

#include "lessontest.h"

namespace distancetest {

// The lesson after its start-up tick has drawn the plane and placed A(1,1), B(4,5).
inline std::unique_ptr<replay::Session> startedLesson() {
    auto session = std::make_unique<replay::Session>("dorvane");
    lessontest::run(*session, "wait 20");
    return session;
}

inline forms::LineShape& line(replay::Session& session, std::string_view name) {
    return lessontest::control<forms::LineShape>(session.form(), name);
}

inline forms::Label& label(replay::Session& session, std::string_view name) {
    return lessontest::control<forms::Label>(session.form(), name);
}

inline QString caption(replay::Session& session, std::string_view name) {
    return QString::fromStdString(label(session, name).caption());
}

inline QLineF ends(replay::Session& session, std::string_view name) {
    const forms::LineShape& shape = line(session, name);
    return {shape.x1(), shape.y1(), shape.x2(), shape.y2()};
}

inline QPointF pointA(replay::Session& session) {
    return ends(session, "Line1").p1();
}
inline QPointF pointB(replay::Session& session) {
    return ends(session, "Line1").p2();
}

// Puts the segment's ends straight into Line1, as if earlier drags had left them there.
inline void placePoints(replay::Session& session, QPointF a, QPointF b) {
    line(session, "Line1").setEnds(float(a.x()), float(a.y()), float(b.x()), float(b.y()));
}

inline forms::Canvas& canvas(replay::Session& session) {
    return lessontest::control<forms::Canvas>(session.form(), "Picture1");
}

// A press or a move on the canvas as the window delivers it: buttons as classic flags,
// the position in canvas units.
inline void press(replay::Session& session, QPointF at, int button = forms::LeftButton) {
    canvas(session).mouseDown(button, 0, float(at.x()), float(at.y()));
}
inline void move(replay::Session& session, QPointF at, int buttons = forms::LeftButton) {
    canvas(session).mouseMove(buttons, 0, float(at.x()), float(at.y()));
}

inline bool isVisible(replay::Session& session, std::string_view name) {
    const forms::Control* control = session.form().control(name);
    if (const auto* windowless = dynamic_cast<const forms::Windowless*>(control))
        return windowless->isVisible();
    throw std::logic_error("no windowless control " + std::string(name));
}

// Where a canvas point lies in the rendered window, in logical pixels.
inline QPointF windowPixel(replay::Session& session, double x, double y) {
    forms::Canvas& picture = canvas(session);
    const QPoint innerOrigin = picture.widget().mapTo(&session.form().window(), QPoint(2, 2));
    return picture.scale().toPixels(x, y) + QPointF(innerOrigin);
}

// How many clearly red pixels (the end point markers) lie within radius of a pixel.
inline int redPixelsNear(const QImage& image, QPointF centre, int radius) {
    int count = 0;
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint at = centre.toPoint() + QPoint(dx, dy);
            if (!image.rect().contains(at)) continue;
            const QColor colour = image.pixelColor(at);
            if (colour.red() > 200 && colour.green() < 80 && colour.blue() < 80) ++count;
        }
    }
    return count;
}

}  // namespace distancetest
