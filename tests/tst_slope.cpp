// SPDX-License-Identifier: GPL-3.0-or-later
// The slope lesson: the initial figure, the demonstration, the blinking legs and the
// hint; and under the mouse, where a press or a left-button move picks the nearer point
// and re-places the line, the slope triangle, the tags and both marks of the angle, also
// through real Qt mouse events and with points where far drags can put them.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "accessibility.h"
#include "lessontest.h"

using namespace forms;
using namespace lessontest;

namespace {

const double kNone = std::numeric_limits<double>::quiet_NaN();

// Every number the harness reports is finite: it writes null for anything else.
bool allFinite(const QJsonValue& value) {
    if (value.isNull()) return false;
    for (const QJsonValue member : value.toObject())
        if (!allFinite(member)) return false;
    return true;
}

// Red pixels on the canvas inside and outside the given arcs, leaving out every control
// that may be red itself: the point markers, the α labels and the red leg.
std::pair<int, int> redPixels(Session& s, const QJsonArray& arcs) {
    Canvas& picture = canvas(s);
    QList<QRectF> allowed, arcBoxes;
    for (const Windowless* child : picture.children()) {
        const auto* line = dynamic_cast<const LineShape*>(child);
        if (child->isVisible() && (!line || line->borderColor() == kRed))
            allowed << child->pixelBounds().adjusted(-2, -2, 2, 2);
    }
    for (const QJsonValue arc : arcs) {
        const double r = picture.scale().widthToPixels(arc["radius"].toDouble()) + 4;
        const QPointF centre = picture.scale().toPixels(arc["x"].toDouble(), arc["y"].toDouble());
        arcBoxes << QRectF(centre - QPointF(r, r), centre + QPointF(r, r));
    }
    const QImage image = s.render();
    const QPoint origin = picture.widget().mapTo(&s.form().window(), QPoint(2, 2));
    std::pair<int, int> inAndOut{0, 0};
    const QSize size = picture.scale().pixelSize().toSize();
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QColor colour = image.pixelColor(origin + QPoint(x, y));
            if (colour.red() <= 200 || colour.green() >= 90 || colour.blue() >= 90) continue;
            const QPointF at(x + 0.5, y + 0.5);
            const auto contains = [&](const QRectF& box) { return box.contains(at); };
            if (std::any_of(arcBoxes.begin(), arcBoxes.end(), contains))
                ++inAndOut.first;
            else if (std::none_of(allowed.begin(), allowed.end(), contains))
                ++inAndOut.second;
        }
    }
    return inAndOut;
}

}  // namespace

class TestSlope : public QObject {
    Q_OBJECT
private slots:
    void initialFigure() {
        const auto session = started("skelvin", 20);
        QCOMPARE(variable(*session, "qingxie"), std::atan(4.0 / 3.0));
        QVERIFY(isVisible(*session, "Line9"));
        QVERIFY(ends(*session, "Line9").y1() < -2 && ends(*session, "Line9").x1() > 10);
        QVERIFY(allVisible(
            *session, {"Line1", "Line7", "Line8", "Label3", "Quillet", "Line3", "Line4", "Line5"},
            false));
        const QJsonArray arcs = drawn(*session, "Circle");
        compareProperties(
            *session, {{"Line1.X1", 1},
                       {"Line1.Y1", 1},
                       {"Line1.X2", 4},
                       {"Line1.Y2", 5},
                       {"Line6.X1", -2},
                       {"Line6.Y1", -3},
                       {"Line6.X2", 13},
                       {"Line6.Y2", 17},
                       // At start-up the α by the crossing point sits 0.45 right of it, not 0.5.
                       {"Label1.Left", 0.7},
                       {"Label1.Top", 0.9},
                       {"Label2.Left", 1.5},
                       {"Label2.Top", 1.6},
                       {"Image3.Left", 0.7},
                       {"Image3.Top", -0.5},
                       {"Image9.Left", 4},
                       {"Image9.Top", 5},
                       {"Line7.X2", 4},
                       {"Line8.Y2", 5},
                       {"Picture1.AutoRedraw", false},
                       {"Timer1.Enabled", false},
                       {"Timer2.Enabled", true},
                       // 斜率公式： sized to its text: five 20 px ideographs on their em box.
                       {"Label5.Width", 1500},
                       {"Label5.Height", 300}});
        QCOMPARE(arcs.size(), qsizetype(2));
        const double end = float(std::atan(4.0 / 3.0));
        for (const QJsonValue arc : arcs) {
            QCOMPARE(arc["radius"].toDouble(), 0.5);
            QCOMPARE(arc["start"].toDouble(), 0.0);
            QCOMPARE(float(arc["end"].toDouble()), float(end));
            QCOMPARE(arc["color"].toInteger(), qint64(kRed));
        }
        QCOMPARE(QPointF(arcs[0]["x"].toDouble(), arcs[0]["y"].toDouble()), QPointF(0.25, 0));
        QCOMPARE(QPointF(arcs[1]["x"].toDouble(), arcs[1]["y"].toDouble()), QPointF(1, 1));
        // Nothing more is drawn without the mouse.
        session->clock().advance(10000);
        QVERIFY(drawn(*session).isEmpty());
    }

    // The demonstration's end: Quillet runs on to the corner, beyond P1, where a drag
    // would end it. A press before the first step places the lines and the steps add to
    // them; a zero coordinate gives steps of zero.
    void demonstrationEndState_data() {
        lessontest::columns<QString, QList<QLineF>, QPointF>(
            {"script", "projections", "corner"});  // Quillet, Line3, Line4, Line5
        QTest::newRow("initial points")
            << "" << QList<QLineF>{{0, 1, 4, 1}, {4, 0, 4, 5}, {1, 1, 1, 0}, {4, 5, 0, 5}}
            << QPointF(4, 1);
        QTest::newRow("P2 onto the y axis")
            << "wait 20\ndown 0 5"
            << QList<QLineF>{{0, 1, 1, 1}, {0, 0, 0, 10}, {1, 1, 1, -1}, {0, 5, 0, 5}}
            << QPointF(0, 1);
        QTest::newRow("P1 onto the x axis")
            << "wait 20\ndown 1 0"
            << QList<QLineF>{{0, 0, 5, 0}, {4, 0, 4, 10}, {1, 0, 1, 0}, {4, 5, -4, 5}}
            << QPointF(4, 0);
    }
    void demonstrationEndState() {
        QFETCH(QString, script);
        QFETCH(QList<QLineF>, projections);
        Session session("skelvin");
        run(session, script.toStdString());
        run(session, "wait 1700");
        const char* names[] = {"Quillet", "Line3", "Line4", "Line5"};
        for (int i = 0; i < 4; ++i) COMPARE_NEARLY(ends(session, names[i]), projections[i]);
        QTEST(topLeft(session, "Label3"), "corner");
        QVERIFY(allVisible(session,
                           {"Quillet", "Line3", "Line4", "Line5", "Label3", "Line7", "Line8"}));
        QCOMPARE(variable(session, "stepCount"), 0.0);
        QVERIFY(!control<Timer>(session, "Timer2").isEnabled());
    }

    // Timer2 steps every 16 ms from 32 on, so the 99th step comes at 1600; the legs
    // blink every second, blue and red, then black.
    void legsAppearAtTheLastStepAndBlink() {
        const auto session = started("skelvin", 1600);
        QCOMPARE(variable(*session, "stepCount"), 99.0);
        QVERIFY(!isVisible(*session, "Label3") && !isVisible(*session, "Line7"));
        session->clock().advance(16);
        QVERIFY(allVisible(*session, {"Label3", "Line7", "Line8"}));
        const auto colours = [&] {
            return std::pair(line(*session, "Line7").borderColor(),
                             line(*session, "Line8").borderColor());
        };
        using Legs = std::pair<Color, Color>;
        const Legs coloured(kBlue, kRed);
        const Legs black(kBlack, kBlack);
        QVERIFY(colours() == black);
        const std::pair<int, Legs> blinks[] = {
            {1999, black}, {2000, coloured}, {2999, coloured}, {3000, black}, {4000, coloured}};
        for (const auto& [time, legs] : blinks) {
            session->clock().advance(time - session->clock().now());
            QVERIFY2(colours() == legs, qPrintable(QString("at %1 ms").arg(time)));
        }
        // Any colour but blue, not only black, leads to blue and red.
        line(*session, "Line7").setBorderColor(0x0000FF00);
        session->clock().advance(1000);
        QVERIFY(colours() == coloured);
    }

    void startUpArcsSurviveTheDemonstrationTheBlinkAndTheHint() {
        const auto session = started("skelvin", 3100);
        // Points well inside each arc, clear of the α labels and of the dotted lines.
        const QPointF arcs[] = {{0.25 + 0.5 * std::cos(0.8), 0.5 * std::sin(0.8)},
                                {1 + 0.5 * std::cos(0.7), 1 + 0.5 * std::sin(0.7)}};
        const QJsonValue before = state(*session)["controls"];
        // The demonstration button is never shown, so no click restarts it.
        run(*session, "click Command1\nclick Image1\nwait 100");
        QVERIFY(session->messages().empty());
        run(*session, "click Image2");
        QCOMPARE(session->messages().size(), size_t(1));
        QCOMPARE(session->messages()[0].text,
                 std::string("在坐标系中，按住鼠标左键并拖动，可以改变直线的位置，并观察直线倾斜角"
                             "与斜率的变化"));
        QCOMPARE(state(*session)["controls"], before);
        for (const QPointF at : arcs)
            QVERIFY(redPixelsNear(*session, session->render(), at.x(), at.y()));
    }
    void figureForEachKindOfLine_data() {
        lessontest::columns<QString, QPointF, double, double, double, QPointF, QPointF, QPointF,
                            QLineF, QStringList>({"setup", "pointer", "qingxie", "crossing",
                                                  "arcEnd", "lowerPoint", "label1", "label2",
                                                  "line6", "spoken"});
        const double falling = std::atan(-0.4);
        const QString atAxis = "倾斜角 α：直线与 x 轴相交处的弧，";
        QTest::newRow("rising") << "" << QPointF(7, 3) << std::atan(1.0 / 3) << -2.0
                                << double(float(std::atan(1.0 / 3))) << QPointF(1, 1)
                                << QPointF(-1.5, 0.9) << QPointF(1.5, 1.6) << QLineF(-2, 0, 13, 5)
                                << QStringList{atAxis + "锐角", "倾斜角 α：P₁ 处的弧，锐角"};
        QTest::newRow("falling") << "down 5.5 2.5" << QPointF(6, -1) << falling << 3.5
                                 << double(float(falling + 3.14159)) << QPointF(6, -1)
                                 << QPointF(4, 0.9) << QPointF(6.5, -0.4)
                                 << QLineF(-2, 2.2, 13, -3.8)
                                 << QStringList{atAxis + "钝角", "倾斜角 α：P₂ 处的弧，钝角"};
        // The decimal right angle's tangent is finite: the crossing is x1 up to a tiny term.
        QTest::newRow("vertical") << "down 2.5 4.5" << QPointF(1, 4) << 1.57079633 << 1.0
                                  << double(float(1.57079633)) << QPointF(1, 1) << QPointF(1.5, 0.9)
                                  << QPointF(1.5, 1.6) << QLineF(1, -2, 1, 8)
                                  << QStringList{atAxis + "直角", "倾斜角 α：P₁ 处的弧，直角"};
        // No arcs; the first α stays where start-up put it, the second goes beside P2.
        QTest::newRow("horizontal")
            << "" << QPointF(6, 1) << 0.0 << kNone << kNone << QPointF(6, 1) << QPointF(0.7, 0.9)
            << QPointF(6.5, 1.6) << QLineF(-2, 1, 13, 1)
            << QStringList(2, "倾斜角 α：直线水平，没有弧");
    }
    void figureForEachKindOfLine() {
        QFETCH(QString, setup);
        QFETCH(QPointF, pointer);
        QFETCH(double, crossing);
        QFETCH(double, arcEnd);
        QFETCH(QPointF, lowerPoint);
        QFETCH(QLineF, line6);
        const auto session = started("skelvin", 2000);
        run(*session, setup.toStdString());
        drawn(*session);
        press(*session, pointer);
        QCOMPARE(ends(*session, "Line1"), QLineF(QPointF(1, 1), pointer));
        QTEST(variable(*session, "qingxie"), "qingxie");
        COMPARE_NEARLY(ends(*session, "Line6"), line6);
        QFETCH(QPointF, label1);
        QFETCH(QPointF, label2);
        COMPARE_NEARLY(QLineF(topLeft(*session, "Label1"), topLeft(*session, "Label2")),
                       QLineF(label1, label2));
        // What a screen reader hears of the two α marks follows the arcs drawn.
        QTEST(QStringList({QString::fromStdString(spokenText(label(*session, "Label1"))),
                           QString::fromStdString(spokenText(label(*session, "Label2")))}),
              "spoken");
        const QJsonArray arcs = drawn(*session, "Circle");
        if (std::isnan(arcEnd)) {
            QVERIFY(arcs.isEmpty());
            return;
        }
        QCOMPARE(arcs.size(), qsizetype(2));
        QVERIFY(std::abs(arcs[0]["x"].toDouble() - crossing) < 1e-5);
        QCOMPARE(arcs[0]["y"].toDouble(), 0.0);
        QCOMPARE(QPointF(arcs[1]["x"].toDouble(), arcs[1]["y"].toDouble()), lowerPoint);
        for (const QJsonValue arc : arcs) QCOMPARE(float(arc["end"].toDouble()), float(arcEnd));
    }

    void legsAndCornerWhenP1IsTheUpperPoint() {
        const auto session = started("skelvin", 2000);
        run(*session, "down 5.5 2.5\ndown 6 -1");
        QCOMPARE(ends(*session, "Line7"), QLineF(6, -1, 1, -1));
        QCOMPARE(ends(*session, "Line8"), QLineF(1, 1, 1, -1));
        QCOMPARE(ends(*session, "Quillet"), QLineF(0, 1, 1, 1));
        QCOMPARE(ends(*session, "Line3"), QLineF(6, 0, 6, -1));
        QCOMPARE(ends(*session, "Line5"), QLineF(6, -1, 0, -1));
        QCOMPARE(topLeft(*session, "Image9"), QPointF(5.4f, -1.5f));
        QCOMPARE(topLeft(*session, "Image5"), QPointF(5.7f, -0.5f));
    }

    // "P" names the right angle's corner, where the run and the rise meet, whichever point
    // is the upper one, by a press, a drag or the demonstration's last step.
    void cornerWhereTheLegsMeet_data() {
        lessontest::columns<QString, QPointF>({"script", "corner"});
        QTest::newRow("rising, pressed") << "wait 2000\ndown 6 3" << QPointF(6, 1);
        QTest::newRow("falling, pressed") << "wait 2000\ndown 5.5 2.5\ndown 6 -1" << QPointF(1, -1);
        QTest::newRow("level, dragged")
            << "wait 2000\ndown 4 5\nmove 4 3 1\nmove 5 1 1" << QPointF(1, 1);
        QTest::newRow("falling during the demonstration")
            << "wait 20\ndown 5.5 2.5\ndown 6 -1\nwait 1700" << QPointF(1, -1);
    }
    void cornerWhereTheLegsMeet() {
        QFETCH(QString, script);
        QFETCH(QPointF, corner);
        Session session("skelvin");
        run(session, script.toStdString());
        QTEST(topLeft(session, "Label3"), "corner");
        QVERIFY(isVisible(session, "Label3"));
        for (const char* leg : {"Line7", "Line8"}) {
            const QLineF legEnds = ends(session, leg);
            QVERIFY2(legEnds.p1() == corner || legEnds.p2() == corner, leg);
        }
    }

    // Any button presses; only the left button alone drags.
    void nearerPoint_data() {
        lessontest::columns<QPointF, int, bool, QLineF>({"pointer", "button", "drag", "points"});
        const QLineF start(1, 1, 4, 5);
        QTest::newRow("nearer P1, middle button")
            << QPointF(-1, -2) << 4 << false << QLineF(-1, -2, 4, 5);
        QTest::newRow("exact tie") << QPointF(6.5, 0) << 1 << false << start;
        // Equal true distances that single precision cannot hold: the rounding of bb decides.
        const QPointF roundedUp(0x1.db3b3p+1f, 0x1.0b939cp+1f);
        const QPointF roundedDown(0x1.33d38cp+2f, 0x1.44855cp+0f);
        QTest::newRow("tie, bb rounded up")
            << roundedUp << 1 << false << QLineF(roundedUp, QPointF(4, 5));
        QTest::newRow("tie, bb rounded down")
            << roundedDown << 1 << false << QLineF(QPointF(1, 1), roundedDown);
        QTest::newRow("right-button drag") << QPointF(7, 3) << 2 << true << start;
        QTest::newRow("left and middle drag") << QPointF(7, 3) << 5 << true << start;
    }
    void nearerPoint() {
        QFETCH(QPointF, pointer);
        QFETCH(int, button);
        QFETCH(bool, drag);
        QFETCH(QLineF, points);
        const auto session = started("skelvin", 2000);
        drawn(*session);
        drag ? move(*session, pointer, button) : press(*session, pointer, button);
        QCOMPARE(ends(*session, "Line1"), points);
        QCOMPARE(drawn(*session).isEmpty(), drag);
    }

    void dragDiffersFromPressAndCrossesThePoints() {
        // Before the demonstration ends, so that showing would be seen.
        const auto session = started("skelvin", 20);
        drawn(*session);
        move(*session, {5, 6});
        QCOMPARE(ends(*session, "Line1"), QLineF(1, 1, 5, 6));
        QVERIFY(allVisible(*session, {"Line7", "Line8", "Label3", "Quillet"}, false));
        QCOMPARE(topLeft(*session, "Image9"), QPointF(4.4f, 6));
        for (const QJsonValue arc : drawn(*session, "Circle")) QCOMPARE(arc["width"].toInt(), 2);
        // A later press keeps the wide pen and drops the picture below the point again.
        press(*session, {5.5, 6.5});
        QCOMPARE(topLeft(*session, "Image9"), QPointF(4.9f, 6));
        QVERIFY(allVisible(*session, {"Line7", "Label3"}));
        const QJsonArray arcs = drawn(*session, "Circle");
        QCOMPARE(arcs.size(), qsizetype(2));
        for (const QJsonValue arc : arcs) QCOMPARE(arc["width"].toInt(), 2);
        // Dragging across the other point switches to moving it.
        run(*session, "down 1 1\nmove 2 2.5 1\nmove 3 3.5 1\nmove 6 7 1");
        QCOMPARE(ends(*session, "Line1"), QLineF(3, 3.5, 6, 7));
    }

    void rayFromP1_data() {
        lessontest::columns<QString, QPointF, bool, QLineF>({"setup", "pointer", "shown", "ray"});
        const QLineF fromP1(1, 1, 1.9f, 1);
        QTest::newRow("to the left") << "move 1 5 1" << QPointF(-1, 5) << true << fromP1;
        QTest::newRow("d = 0.5") << "move 1 5 1" << QPointF(1.5, 5) << false << QLineF();
        // The ray starts at P1 also when P1 is the upper point.
        QTest::newRow("P1 above") << "down 1 3\ndown 1 6\nmove 2 7.5 1" << QPointF(4.2, 7.5) << true
                                  << QLineF(4.2f, 7.5f, 5.1f, 7.5f);
    }
    void rayFromP1() {
        QFETCH(QString, setup);
        QFETCH(QPointF, pointer);
        QFETCH(bool, shown);
        const auto session = started("skelvin", 2000);
        run(*session, setup.toStdString());
        move(*session, pointer);
        QCOMPARE(isVisible(*session, "Line9"), shown);
        if (shown) QTEST(ends(*session, "Line9"), "ray");
    }

    void extremePoints_data() {
        lessontest::columns<QPointF, QPointF>({"p1", "p2"});
        const float afterOne = std::nextafter(1.0f, 2.0f);
        QTest::newRow("a step apart in y at zero")
            << QPointF(1, 0) << QPointF(6, std::nextafter(0.0f, 1.0f));
        QTest::newRow("coinciding") << QPointF(1, 1) << QPointF(1, 1);
        QTest::newRow("canvas-wide and a step apart in y")
            << QPointF(-FLT_MAX, 1) << QPointF(FLT_MAX, afterOne);
        QTest::newRow("both far out") << QPointF(-FLT_MAX, -FLT_MAX) << QPointF(FLT_MAX, FLT_MAX);
    }
    void extremePoints() {
        QFETCH(QPointF, p1);
        QFETCH(QPointF, p2);
        const auto session = started("skelvin", 2000);
        QCoreApplication::processEvents();
        line(*session, "Line1").setEnds(float(p1.x()), float(p1.y()), float(p2.x()), float(p2.y()));
        press(*session, p2);
        move(*session, p2);
        move(*session, p1);
        QVERIFY(screenMatchesFullRepaint(*session));
        QCOMPARE(ends(*session, "Line1"), QLineF(p1, p2));
        const double qingxie = variable(*session, "qingxie");
        QVERIFY(std::abs(qingxie) <= 1.57079633);
        if (p1.x() == p2.x()) QCOMPARE(qingxie, 1.57079633);
        const QJsonObject reported = state(*session);
        QVERIFY(allFinite(reported["controls"]) && allFinite(reported["vars"]));
    }

    // Each figure update leaves only its own arcs on the screen.
    void onlyTheLatestArcsStay_data() {
        columns<QString, QLineF, bool>({"setup", "drag", "arcsDue"});
        const QString falling = "down 5.5 2.5\ndown 6 -1";
        QTest::newRow("falling line dragged nearly flat")
            << "down 8 0.5" << QLineF(8, 0.5, 12, 0.8) << true;
        QTest::newRow("lower point dragged along a vertical line")
            << "down 1 5.5" << QLineF(1, 1, 1, -2) << true;
        QTest::newRow("falling line brought to horizontal")
            << falling << QLineF(6, -1, 6, 1) << false;
    }
    void onlyTheLatestArcsStay() {
        QFETCH(QString, setup);
        QFETCH(QLineF, drag);
        QFETCH(bool, arcsDue);
        const auto session = started("skelvin", 2000);
        run(*session, setup.toStdString());
        for (int step = 0; step <= 30; ++step) {
            drawn(*session);
            move(*session, drag.pointAt(step / 30.0));
        }
        const QJsonArray arcs = drawn(*session, "Circle");
        QCOMPARE(arcs.isEmpty(), !arcsDue);
        const auto [inside, stray] = redPixels(*session, arcs);
        QVERIFY2(stray == 0, qPrintable(QString::number(stray) + " stray red pixels"));
        QCOMPARE(inside > 0, arcsDue);
    }
};

QTEST_MAIN(TestSlope)
#include "tst_slope.moc"
