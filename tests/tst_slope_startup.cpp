// SPDX-License-Identifier: GPL-3.0-or-later
// The slope lesson from its window's start: the plane and the initial figure, the
// demonstration that runs once by itself, and the legs that blink every second.
#include <cmath>

#include "fonts.h"
#include "slopetest.h"

using namespace forms;
using namespace slopetest;
using lessontest::control;

class TestSlopeStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontMapping(); }
    void hintAndHiddenButtonChangeNothing();
    void initialFigure();
    void nothingIsDrawnAfterStartUpWithoutTheMouse();
    void demonstrationEndState_data();
    void demonstrationEndState();
    void legsAppearAtTheLastStepInTheLastBlinkColour();
    void legsBlinkEverySecond();
    void startUpArcsSurviveTheDemonstrationAndTheBlink();
};

void TestSlopeStartup::hintAndHiddenButtonChangeNothing() {
    auto session = startedLesson();
    QCOMPARE(session->form().window().windowTitle(), QString("斜率公式"));
    const std::string before = session->takeState();
    // The demonstration button is never shown, so no click restarts it.
    lessontest::run(*session, "click Command1\nclick Image1\nwait 100");
    QVERIFY(session->messages().empty());
    lessontest::run(*session, "click Image2");
    QCOMPARE(session->messages().size(), size_t(1));
    QCOMPARE(session->messages()[0].title, std::string("提示"));
    QCOMPARE(session->messages()[0].text,
             std::string("在坐标系中，按住鼠标左键并拖动，可以改变直线的位置，"
                         "并观察直线倾斜角与斜率的变化"));
    const auto after = QJsonDocument::fromJson(QByteArray::fromStdString(session->takeState()));
    QCOMPARE(after["controls"],
             QJsonDocument::fromJson(QByteArray::fromStdString(before))["controls"]);
}

void TestSlopeStartup::initialFigure() {
    auto session = startedLesson(20);
    Form& form = session->form();
    QCOMPARE(ends(*session, "Line1"), QLineF(1, 1, 4, 5));
    QVERIFY(!isVisible(*session, "Line1"));
    QCOMPARE(lessontest::variable(form, "qingxie"), std::atan(4.0 / 3.0));
    QCOMPARE(ends(*session, "Line6"), QLineF(-2, -3, 13, 17));
    QCOMPARE(control<Shape>(form, "shi").left(), 0.89f);
    QCOMPARE(control<Shape>(form, "zhong").top(), 5.12f);
    // At start-up the α by the crossing point sits 0.45 right of it, not 0.5.
    QCOMPARE(topLeft(*session, "Label1"), QPointF(0.7f, 0.9f));
    QCOMPARE(topLeft(*session, "Label2"), QPointF(1.5f, 1.6f));
    QCOMPARE(topLeft(*session, "Image3"), QPointF(0.7f, -0.5f));
    QCOMPARE(topLeft(*session, "Image5"), QPointF(3.7f, -0.5f));
    QCOMPARE(topLeft(*session, "Image6"), QPointF(-0.6f, 1));
    QCOMPARE(topLeft(*session, "Image7"), QPointF(-0.6f, 5));
    QCOMPARE(topLeft(*session, "Image8"), QPointF(0.2f, 1));
    QCOMPARE(topLeft(*session, "Image9"), QPointF(4, 5));
    QCOMPARE(ends(*session, "Line7"), QLineF(1, 1, 4, 1));
    QCOMPARE(ends(*session, "Line8"), QLineF(4, 1, 4, 5));
    for (const char* name : {"Line7", "Line8", "Label3", "Quillet", "Line3", "Line4", "Line5"})
        QVERIFY2(!isVisible(*session, name), name);
    // The ray stays at its design place, below the x axis near the lower right corner.
    QVERIFY(isVisible(*session, "Line9"));
    QVERIFY(ends(*session, "Line9").y1() < -2 && ends(*session, "Line9").x1() > 10);

    const std::vector<Arc> arcs = takeArcs(*session);
    QCOMPARE(arcs.size(), size_t(2));
    for (const Arc& arc : arcs) {
        QCOMPARE(arc.radius, 0.5f);
        QCOMPARE(arc.start, 0.0f);
        QCOMPARE(arc.end, float(std::atan(4.0 / 3.0)));
        QCOMPARE(arc.color, kRed);
        QCOMPARE(arc.width, 1);
    }
    QCOMPARE(QPointF(arcs[0].x, arcs[0].y), QPointF(0.25, 0));
    QCOMPARE(QPointF(arcs[1].x, arcs[1].y), QPointF(1, 1));

    QVERIFY(!canvas(*session).autoRedraw());
    QCOMPARE(canvas(*session).drawWidth(), 1);
    QCOMPARE(canvas(*session).fontSize(), 9.0);
    QVERIFY(!control<Timer>(form, "Timer1").isEnabled());
    QVERIFY(control<Timer>(form, "Timer2").isEnabled());
}

void TestSlopeStartup::nothingIsDrawnAfterStartUpWithoutTheMouse() {
    auto session = startedLesson(20);
    session->takeState();
    session->clock().advance(10000);
    const auto state = QJsonDocument::fromJson(QByteArray::fromStdString(session->takeState()));
    QVERIFY(state["drawn"].toArray().isEmpty());
}

void TestSlopeStartup::demonstrationEndState_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QLineF>("quillet");
    QTest::addColumn<QLineF>("line3");
    QTest::addColumn<QLineF>("line4");
    QTest::addColumn<QLineF>("line5");
    QTest::addColumn<QPointF>("corner");
    // Quillet runs on to the corner, beyond P1, where the drag would end it.
    QTest::newRow("initial points") << "" << QLineF(0, 1, 4, 1) << QLineF(4, 0, 4, 5)
                                    << QLineF(1, 1, 1, 0) << QLineF(4, 5, 0, 5) << QPointF(4, 1);
    // A press before the first step places the lines; the steps then add to them, and
    // a zero coordinate gives steps of zero.
    QTest::newRow("P2 onto the y axis")
        << "wait 20\ndown 0 5" << QLineF(0, 1, 1, 1) << QLineF(0, 0, 0, 10) << QLineF(1, 1, 1, -1)
        << QLineF(0, 5, 0, 5) << QPointF(0, 1);
    QTest::newRow("P1 onto the x axis")
        << "wait 20\ndown 1 0" << QLineF(0, 0, 5, 0) << QLineF(4, 0, 4, 10) << QLineF(1, 0, 1, 0)
        << QLineF(4, 5, -4, 5) << QPointF(4, 0);
}

void TestSlopeStartup::demonstrationEndState() {
    QFETCH(QString, script);
    replay::Session session("skelvin");
    lessontest::run(session, script.toStdString());
    lessontest::run(session, "wait 1700");
    QFETCH(QLineF, quillet);
    QFETCH(QLineF, line3);
    QFETCH(QLineF, line4);
    QFETCH(QLineF, line5);
    QVERIFY2(near(ends(session, "Quillet"), quillet),
             qPrintable(lessontest::lineText(ends(session, "Quillet"))));
    QVERIFY2(near(ends(session, "Line3"), line3),
             qPrintable(lessontest::lineText(ends(session, "Line3"))));
    QVERIFY2(near(ends(session, "Line4"), line4),
             qPrintable(lessontest::lineText(ends(session, "Line4"))));
    QVERIFY2(near(ends(session, "Line5"), line5),
             qPrintable(lessontest::lineText(ends(session, "Line5"))));
    QTEST(topLeft(session, "Label3"), "corner");
    for (const char* name : {"Quillet", "Line3", "Line4", "Line5", "Label3", "Line7", "Line8"})
        QVERIFY2(isVisible(session, name), name);
    QCOMPARE(lessontest::variable(session.form(), "stepCount"), 0.0);
    QVERIFY(!control<Timer>(session.form(), "Timer2").isEnabled());
}

void TestSlopeStartup::legsAppearAtTheLastStepInTheLastBlinkColour() {
    // Timer2 steps every 16 ms from 32 on, so the 99th step comes at 1600.
    auto session = startedLesson(1600);
    QCOMPARE(lessontest::variable(session->form(), "stepCount"), 99.0);
    QVERIFY(isVisible(*session, "Quillet"));
    QVERIFY(!isVisible(*session, "Label3"));
    QCOMPARE(topLeft(*session, "Label3"), QPointF(4, 1));
    QVERIFY(!isVisible(*session, "Line7"));
    session->clock().advance(16);
    QVERIFY(isVisible(*session, "Label3"));
    QVERIFY(isVisible(*session, "Line7") && isVisible(*session, "Line8"));
    QCOMPARE(line(*session, "Line7").borderColor(), kBlack);
    QCOMPARE(line(*session, "Line8").borderColor(), kBlack);
}

void TestSlopeStartup::legsBlinkEverySecond() {
    auto session = startedLesson(0);
    const auto colours = [&] {
        return std::pair(line(*session, "Line7").borderColor(),
                         line(*session, "Line8").borderColor());
    };
    const std::pair coloured(kBlue, kRed);
    const std::pair black(kBlack, kBlack);
    const std::vector<std::pair<int, std::pair<Color, Color>>> expected = {
        {999, coloured}, {1000, black},    {1999, black}, {2000, coloured},
        {3000, black},   {4000, coloured}, {5000, black}};
    for (const auto& [time, legs] : expected) {
        session->clock().advance(time - session->clock().now());
        QVERIFY2(colours() == legs, qPrintable(QString("at %1 ms").arg(time)));
    }
    // Any colour but blue, not only black, leads to blue and red.
    line(*session, "Line7").setBorderColor(0x0000FF00);
    session->clock().advance(1000);
    QVERIFY(colours() == coloured);
}

void TestSlopeStartup::startUpArcsSurviveTheDemonstrationAndTheBlink() {
    auto session = startedLesson(20);
    // Points well inside each arc, clear of the α labels and of the dotted lines.
    const QPointF crossingArc(0.25 + 0.5 * std::cos(0.8), 0.5 * std::sin(0.8));
    const QPointF lowerArc(1 + 0.5 * std::cos(0.7), 1 + 0.5 * std::sin(0.7));
    QImage image = session->render();
    QVERIFY(isRedNear(*session, image, crossingArc.x(), crossingArc.y()));
    QVERIFY(isRedNear(*session, image, lowerArc.x(), lowerArc.y()));
    session->clock().advance(3100);
    image = session->render();
    QVERIFY(isRedNear(*session, image, crossingArc.x(), crossingArc.y()));
    QVERIFY(isRedNear(*session, image, lowerArc.x(), lowerArc.y()));
}

QTEST_MAIN(TestSlopeStartup)
#include "tst_slope_startup.moc"
