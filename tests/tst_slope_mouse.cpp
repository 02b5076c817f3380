// SPDX-License-Identifier: GPL-3.0-or-later
// The slope lesson under real mouse events on its canvas, and with points placed where a
// drag that leaves the canvas, or a pointer one pixel off, can put them.
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <cfloat>
#include <cmath>

#include "fonts.h"
#include "slopetest.h"

using namespace forms;
using namespace slopetest;
using lessontest::control;

namespace {

void sendMouse(QWidget& view, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, at, view.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// Every number the harness reports is finite: it writes null for anything else.
bool allFinite(const QJsonValue& value) {
    if (value.isNull()) return false;
    if (value.isObject()) {
        for (const QJsonValue member : value.toObject())
            if (!allFinite(member)) return false;
    }
    return true;
}

}  // namespace

class TestSlopeMouse : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontMapping(); }
    void dragWithQtMouseEvents();
    void extremePoints_data();
    void extremePoints();
};

void TestSlopeMouse::dragWithQtMouseEvents() {
    auto session = startedLesson();
    Canvas& picture = canvas(*session);
    QWidget& view = picture.widget();
    const auto pixel = [&](double x, double y) {
        return picture.scale().toPixels(x, y) + QPointF(2, 2);
    };
    sendMouse(view, QEvent::MouseButtonPress, pixel(4, 5), Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 6; ++step)
        sendMouse(view, QEvent::MouseMove, pixel(4 + 0.5 * step, 5 - step), Qt::NoButton,
                  Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, pixel(7, -1), Qt::LeftButton, Qt::NoButton);

    // One pixel is about 0.03 units.
    const QLineF points = ends(*session, "Line1");
    QVERIFY2(near(points, QLineF(1, 1, 7, -1), 0.05), qPrintable(lessontest::lineText(points)));
    QCOMPARE(topLeft(*session, "Image9").y(), points.y2());
    QCOMPARE(canvas(*session).drawWidth(), 2);
    QVERIFY(isRedNear(*session, session->render(), points.x2() - 0.25, points.y2() + 0.433));

    // A move after the release drags nothing.
    sendMouse(view, QEvent::MouseMove, pixel(9, 3), Qt::NoButton, Qt::NoButton);
    QCOMPARE(ends(*session, "Line1"), points);
}

void TestSlopeMouse::extremePoints_data() {
    QTest::addColumn<QPointF>("p1");
    QTest::addColumn<QPointF>("p2");
    const float one = 1;
    const float afterOne = std::nextafter(one, 2.0f);
    const float afterZero = std::nextafter(0.0f, 1.0f);
    QTest::newRow("a step apart in x") << QPointF(1, 1) << QPointF(afterOne, 4);
    QTest::newRow("a step apart in y") << QPointF(1, 1) << QPointF(6, afterOne);
    QTest::newRow("a step apart in y at zero") << QPointF(1, 0) << QPointF(6, afterZero);
    QTest::newRow("coinciding") << QPointF(1, 1) << QPointF(1, 1);
    QTest::newRow("canvas-wide and a step apart in y")
        << QPointF(-FLT_MAX, 1) << QPointF(FLT_MAX, afterOne);
    QTest::newRow("range-high and a step apart in x")
        << QPointF(1, -FLT_MAX) << QPointF(afterOne, FLT_MAX);
    QTest::newRow("line beyond the single range")
        << QPointF(-FLT_MAX, 0) << QPointF(-1e38f, FLT_MAX);
    QTest::newRow("both far out") << QPointF(-FLT_MAX, -FLT_MAX) << QPointF(FLT_MAX, FLT_MAX);
}

void TestSlopeMouse::extremePoints() {
    QFETCH(QPointF, p1);
    QFETCH(QPointF, p2);
    auto session = startedLesson();
    QElapsedTimer timer;
    timer.start();
    line(*session, "Line1").setEnds(float(p1.x()), float(p1.y()), float(p2.x()), float(p2.y()));
    press(*session, float(p2.x()), float(p2.y()));
    move(*session, float(p2.x()), float(p2.y()));
    move(*session, float(p1.x()), float(p1.y()));
    session->render();
    QVERIFY(timer.elapsed() < 2000);

    QCOMPARE(ends(*session, "Line1"), QLineF(p1, p2));
    const double qingxie = lessontest::variable(session->form(), "qingxie");
    QVERIFY(std::abs(qingxie) <= 1.57079633);
    if (p1.x() == p2.x()) QCOMPARE(qingxie, 1.57079633);
    const auto state = QJsonDocument::fromJson(QByteArray::fromStdString(session->takeState()));
    QVERIFY(allFinite(state["controls"]));
    QVERIFY(allFinite(state["vars"]));
}

QTEST_MAIN(TestSlopeMouse)
#include "tst_slope_mouse.moc"
