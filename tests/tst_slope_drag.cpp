// SPDX-License-Identifier: GPL-3.0-or-later
// The slope lesson under the mouse: a press or a left-button move picks the nearer point
// and re-places the line, the slope triangle, the tags and both marks of the angle.
#include <cmath>
#include <limits>

#include "fonts.h"
#include "slopetest.h"

using namespace forms;
using namespace slopetest;
using lessontest::control;

namespace {

const double kNone = std::numeric_limits<double>::quiet_NaN();

}  // namespace

class TestSlopeDrag : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontMapping(); }
    void figureForEachKindOfLine_data();
    void figureForEachKindOfLine();
    void legsAndCornerWhenP1IsTheUpperPoint();
    void nearerPoint_data();
    void nearerPoint();
    void tiedPressMovesNothingButRedrawsLineAndAngle();
    void draggingAcrossTheOtherPointSwitchesPoints();
    void moveDiffersFromPress();
    void onlyTheLeftButtonAloneDrags_data();
    void onlyTheLeftButtonAloneDrags();
    void rayFromP1_data();
    void rayFromP1();
};

void TestSlopeDrag::figureForEachKindOfLine_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<double>("qingxie");
    QTest::addColumn<double>("crossing");
    QTest::addColumn<double>("arcEnd");
    QTest::addColumn<QPointF>("lowerPoint");
    QTest::addColumn<QPointF>("label1");
    QTest::addColumn<QPointF>("label2");
    QTest::addColumn<QLineF>("line6");
    const double falling = std::atan(-0.4);
    QTest::newRow("rising") << "" << QPointF(7, 3) << std::atan(1.0 / 3) << -2.0
                            << double(float(std::atan(1.0 / 3))) << QPointF(1, 1)
                            << QPointF(-1.5, 0.9) << QPointF(1.5, 1.6) << QLineF(-2, 0, 13, 5);
    QTest::newRow("falling") << "down 5.5 2.5" << QPointF(6, -1) << falling << 3.5
                             << double(float(falling + 3.14159)) << QPointF(6, -1)
                             << QPointF(4, 0.9) << QPointF(6.5, -0.4) << QLineF(-2, 2.2, 13, -3.8);
    // The decimal right angle: its tangent is finite, so the crossing point is x1 up to
    // a negligible term.
    QTest::newRow("vertical") << "down 2.5 4.5" << QPointF(1, 4) << 1.57079633 << 1.0
                              << double(float(1.57079633)) << QPointF(1, 1) << QPointF(1.5, 0.9)
                              << QPointF(1.5, 1.6) << QLineF(1, -2, 1, 8);
    // No arcs; the first α stays where start-up put it, the second goes beside P2.
    QTest::newRow("horizontal") << "" << QPointF(6, 1) << 0.0 << kNone << kNone << QPointF(6, 1)
                                << QPointF(0.7, 0.9) << QPointF(6.5, 1.6) << QLineF(-2, 1, 13, 1);
}

void TestSlopeDrag::figureForEachKindOfLine() {
    QFETCH(QString, setup);
    QFETCH(QPointF, pointer);
    QFETCH(double, crossing);
    QFETCH(double, arcEnd);
    QFETCH(QPointF, lowerPoint);
    auto session = startedLesson();
    lessontest::run(*session, setup.toStdString());
    takeArcs(*session);
    press(*session, float(pointer.x()), float(pointer.y()));

    QCOMPARE(ends(*session, "Line1"), QLineF(1, 1, pointer.x(), pointer.y()));
    QTEST(lessontest::variable(session->form(), "qingxie"), "qingxie");
    QFETCH(QLineF, line6);
    QVERIFY2(near(ends(*session, "Line6"), line6),
             qPrintable(lessontest::lineText(ends(*session, "Line6"))));
    QFETCH(QPointF, label1);
    QFETCH(QPointF, label2);
    QVERIFY2(near(topLeft(*session, "Label1"), label1), "Label1");
    QVERIFY2(near(topLeft(*session, "Label2"), label2), "Label2");

    const std::vector<Arc> arcs = takeArcs(*session);
    if (std::isnan(arcEnd)) {
        QVERIFY(arcs.empty());
        return;
    }
    QCOMPARE(arcs.size(), size_t(2));
    QVERIFY(std::abs(arcs[0].x - crossing) < 1e-5);
    QCOMPARE(arcs[0].y, 0.0f);
    QCOMPARE(QPointF(arcs[1].x, arcs[1].y), lowerPoint);
    for (const Arc& arc : arcs) {
        QCOMPARE(arc.end, float(arcEnd));
        QCOMPARE(arc.radius, 0.5f);
        QCOMPARE(arc.color, kRed);
    }
}

void TestSlopeDrag::legsAndCornerWhenP1IsTheUpperPoint() {
    auto session = startedLesson();
    lessontest::run(*session, "down 5.5 2.5\ndown 6 -1");
    QCOMPARE(ends(*session, "Line7"), QLineF(6, -1, 1, -1));
    QCOMPARE(ends(*session, "Line8"), QLineF(1, 1, 1, -1));
    // "P" keeps naming (x2, y1) although the legs now meet at (x1, y2).
    QCOMPARE(topLeft(*session, "Label3"), QPointF(6, 1));
    QCOMPARE(ends(*session, "Quillet"), QLineF(0, 1, 1, 1));
    QCOMPARE(ends(*session, "Line3"), QLineF(6, 0, 6, -1));
    QCOMPARE(ends(*session, "Line4"), QLineF(1, 1, 1, 0));
    QCOMPARE(ends(*session, "Line5"), QLineF(6, -1, 0, -1));
    QCOMPARE(topLeft(*session, "Image9"), QPointF(5.4f, -1.5f));
    QCOMPARE(topLeft(*session, "Image5"), QPointF(5.7f, -0.5f));
    QCOMPARE(topLeft(*session, "Image7"), QPointF(-0.6f, -1));
}

void TestSlopeDrag::nearerPoint_data() {
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<int>("button");
    QTest::addColumn<QLineF>("points");
    QTest::newRow("nearer P2") << QPointF(10, 7) << 1 << QLineF(1, 1, 10, 7);
    QTest::newRow("nearer P1") << QPointF(-1, -2) << 1 << QLineF(-1, -2, 4, 5);
    QTest::newRow("right button") << QPointF(10, 7) << 2 << QLineF(1, 1, 10, 7);
    QTest::newRow("middle button") << QPointF(-1, -2) << 4 << QLineF(-1, -2, 4, 5);
    QTest::newRow("exactly on P1") << QPointF(1, 1) << 1 << QLineF(1, 1, 4, 5);
    QTest::newRow("exact tie") << QPointF(6.5, 0) << 1 << QLineF(1, 1, 4, 5);
    // Equal true distances that single precision cannot hold: the rounding of bb decides.
    const QPointF roundedUp(0x1.db3b3p+1f, 0x1.0b939cp+1f);
    const QPointF roundedDown(0x1.33d38cp+2f, 0x1.44855cp+0f);
    QTest::newRow("tie, bb rounded up") << roundedUp << 1 << QLineF(roundedUp, QPointF(4, 5));
    QTest::newRow("tie, bb rounded down") << roundedDown << 1 << QLineF(QPointF(1, 1), roundedDown);
}

void TestSlopeDrag::nearerPoint() {
    QFETCH(QPointF, pointer);
    QFETCH(int, button);
    auto session = startedLesson();
    press(*session, float(pointer.x()), float(pointer.y()), button);
    QTEST(ends(*session, "Line1"), "points");
}

void TestSlopeDrag::tiedPressMovesNothingButRedrawsLineAndAngle() {
    // Mid-demonstration, so that re-placed projections would show.
    auto session = startedLesson(100);
    const QLineF quillet = ends(*session, "Quillet");
    takeArcs(*session);
    press(*session, 6.5f, 0);
    QCOMPARE(ends(*session, "Line1"), QLineF(1, 1, 4, 5));
    QCOMPARE(ends(*session, "Quillet"), quillet);
    QVERIFY(isVisible(*session, "Quillet") && isVisible(*session, "Line7"));
    QCOMPARE(takeArcs(*session).size(), size_t(2));
    // Redrawn with the drag's offset of 0.5 instead of start-up's 0.45.
    QCOMPARE(topLeft(*session, "Label1"), QPointF(0.75f, 0.9f));
}

void TestSlopeDrag::draggingAcrossTheOtherPointSwitchesPoints() {
    auto session = startedLesson();
    lessontest::run(*session, "down 1 1\nmove 2 2.5 1\nmove 3 3.5 1");
    QCOMPARE(ends(*session, "Line1"), QLineF(3, 3.5, 4, 5));
    lessontest::run(*session, "move 3.9 4.9 1");
    QCOMPARE(ends(*session, "Line1"), QLineF(3, 3.5, 3.9f, 4.9f));
}

void TestSlopeDrag::moveDiffersFromPress() {
    // Before the demonstration ends, so that showing would be seen.
    auto session = startedLesson(20);
    takeArcs(*session);
    move(*session, 5, 6);
    QCOMPARE(ends(*session, "Line1"), QLineF(1, 1, 5, 6));
    for (const char* name : {"Line7", "Line8", "Label3", "Quillet"})
        QVERIFY2(!isVisible(*session, name), name);
    QCOMPARE(topLeft(*session, "Image9"), QPointF(4.4f, 6));
    QCOMPARE(canvas(*session).drawWidth(), 2);
    for (const Arc& arc : takeArcs(*session)) QCOMPARE(arc.width, 2);

    // A later press keeps the wide pen and drops the picture below the point again.
    press(*session, 5.5f, 6.5f);
    QCOMPARE(topLeft(*session, "Image9"), QPointF(4.9f, 6));
    QVERIFY(isVisible(*session, "Line7") && isVisible(*session, "Label3"));
    const std::vector<Arc> arcs = takeArcs(*session);
    QCOMPARE(arcs.size(), size_t(2));
    for (const Arc& arc : arcs) QCOMPARE(arc.width, 2);
}

void TestSlopeDrag::onlyTheLeftButtonAloneDrags_data() {
    QTest::addColumn<int>("buttons");
    QTest::newRow("none") << 0;
    QTest::newRow("right") << 2;
    QTest::newRow("middle") << 4;
    QTest::newRow("left and right") << 3;
    QTest::newRow("left and middle") << 5;
}

void TestSlopeDrag::onlyTheLeftButtonAloneDrags() {
    QFETCH(int, buttons);
    auto session = startedLesson();
    const auto before = QJsonDocument::fromJson(QByteArray::fromStdString(session->takeState()));
    move(*session, 7, 3, buttons);
    const auto after = QJsonDocument::fromJson(QByteArray::fromStdString(session->takeState()));
    QCOMPARE(after["controls"], before["controls"]);
    QVERIFY(after["drawn"].toArray().isEmpty());
    QCOMPARE(lessontest::variable(session->form(), "aa"), 40.0);
    QCOMPARE(lessontest::variable(session->form(), "bb"), 13.0);
}

void TestSlopeDrag::rayFromP1_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QLineF>("ray");
    const QLineF fromP1(1, 1, 1.9f, 1);
    QTest::newRow("straight above") << "" << QPointF(1, 5) << true << fromP1;
    QTest::newRow("to the left") << "move 1 5 1" << QPointF(-1, 5) << true << fromP1;
    QTest::newRow("d just below 0.5")
        << "move 1 5 1" << QPointF(std::nextafter(1.5f, 0.0f), 5) << true << fromP1;
    QTest::newRow("d = 0.5") << "move 1 5 1" << QPointF(1.5, 5) << false << QLineF();
    QTest::newRow("d just above 0.5")
        << "move 1 5 1" << QPointF(std::nextafter(1.5f, 2.0f), 5) << false << QLineF();
    // The ray starts at P1 also when P1 is the upper point.
    QTest::newRow("P1 above") << "down 1 3\ndown 1 6\nmove 2 7.5 1" << QPointF(4.2, 7.5) << true
                              << QLineF(4.2f, 7.5f, 5.1f, 7.5f);
}

void TestSlopeDrag::rayFromP1() {
    QFETCH(QString, setup);
    QFETCH(QPointF, pointer);
    QFETCH(bool, shown);
    auto session = startedLesson();
    lessontest::run(*session, setup.toStdString());
    move(*session, float(pointer.x()), float(pointer.y()));
    QCOMPARE(isVisible(*session, "Line9"), shown);
    if (shown) QTEST(ends(*session, "Line9"), "ray");
}

QTEST_MAIN(TestSlopeDrag)
#include "tst_slope_drag.moc"
