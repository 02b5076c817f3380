// SPDX-License-Identifier: GPL-3.0-or-later
// The distance lesson: layout, plane, initial segment, formula row, hint and reveal; the
// 100 steps that grow the dotted projections with presses, drags and second clicks
// falling between them; and dragging the end points: which one moves, where the marker,
// the labels and the projections go, the captions, and drags far off the canvas.
#include <cfloat>
#include <cmath>

#include "lessontest.h"
#include "statejson.h"

using namespace forms;
using namespace lessontest;

namespace {

constexpr int kStepMs = 16;
const char* const kRow[] = {"Label4", "Label5", "Label6", "Label7", "Label8", "Label9", "Label10"};
const char* const kDotted[] = {"Quillet", "Line3", "Line4", "Line5"};
const QPointF kStartA(1, 1);
const QPointF kStartB(4, 5);

double squaredDistance(QPointF p, QPointF q) {
    const double dx = p.x() - q.x(), dy = p.y() - q.y();
    return dx * dx + dy * dy;
}

std::unique_ptr<Session> withPoints(QPointF a, QPointF b) {
    auto session = started("dorvane", 20);
    line(*session, "Line1").setEnds(float(a.x()), float(a.y()), float(b.x()), float(b.y()));
    return session;
}

bool formulaShown(Session& s) {
    return allVisible(s, {"Image1", "Image4", "Label4", "Label5", "Label6", "Label7", "Label8",
                          "Label9", "Label10"});
}
bool demonstrationRunning(Session& s) {
    return control<Timer>(s, "Timer2").isEnabled();
}
QString exact(float value) {
    return QString::fromStdString(replay::jsonNumber(value));
}

}  // namespace

class TestDistance : public QObject {
    Q_OBJECT
private slots:
    void startUp() {
        Session session("dorvane");
        // The window opens at its design position, (660, 1035) twips.
        QCOMPARE(session.form().window().window()->pos(), QPoint(44, 69));
        session.clock().advance(15);
        QVERIFY(allVisible(session, {"Image1", "Image4", "Label4", "Label10"}, false));
        QVERIFY(control<Timer>(session, "Timer1").isEnabled());
        session.clock().advance(1);
        compareProperties(session, {{"Line1.X1", 1},
                                    {"Line1.Y1", 1},
                                    {"Line1.X2", 4},
                                    {"Line1.Y2", 5},
                                    {"shi.Left", 0.89},
                                    {"shi.Top", 1.12},
                                    {"zhong.Left", 3.89},
                                    {"zhong.Top", 5.12},
                                    {"Label1.Left", 0.2},
                                    {"Label2.Top", 5},
                                    {"Label1.Caption", "A(1,1)"},
                                    {"Label3.Caption", "O(4,1)"},
                                    {"Label4.Caption", "3"},
                                    {"Label7.Caption", "4"},
                                    {"Label10.Caption", "5"},
                                    {"Label10.Visible", false},
                                    {"Timer1.Enabled", false},
                                    {"Picture1.DrawWidth", 1}});
        // The tick never comes again: the plane is drawn once.
        session.clock().advance(5000);
        QVERIFY(drawn(session).isEmpty());
    }

    void planeNumbersAndLetters() {
        const auto session = started("dorvane", 16);
        QStringList printed;
        for (const QJsonValue call : drawn(*session, "Print"))
            printed << call["text"].toString().trimmed();
        QCOMPARE(printed.join(' '), "-1 1 2 3 4 5 6 7 8 9 10 11 12 -2 -1 o 1 2 3 4 5 6 7 y x");
        const QImage image = session->render();
        const QPoint axis = windowPixel(*session, 6.5, 0).toPoint();
        QCOMPARE(image.pixelColor(axis), toQColor(SystemColor::WindowFrame));
    }

    void formulaRow_data() {
        lessontest::columns<QLineF, QStringList>({"segment", "captions"});
        QTest::newRow("coinciding points") << QLineF(1, 1, 1, 1) << QStringList{"0", "0", "0"};
        QTest::newRow("root of 7.3125")
            << QLineF(1, 1, 2.5, 3.25) << QStringList{"1.5", "2.25", "2.70416345659799"};
        QTest::newRow("single difference shows 7 digits")
            << QLineF(0.2f, 0, 0.3f, 1) << QStringList{"0.1", "1", "1.00498756300172"};
        QTest::newRow("far away, no exponent")
            << QLineF(0, 0, 1e20f, 0)
            << QStringList{"100000000000000000000", "0", "100000002004088000000"};
    }
    void formulaRow() {
        QFETCH(QLineF, segment);
        QFETCH(QStringList, captions);
        const auto session = started("dorvane", 16);
        line(*session, "Line1")
            .setEnds(float(segment.x1()), float(segment.y1()), float(segment.x2()),
                     float(segment.y2()));
        // A press right on B moves B onto itself and lays the row out anew.
        press(*session, segment.p2());
        QCOMPARE(caption(*session, "Label4"), captions[0]);
        QCOMPARE(caption(*session, "Label7"), captions[1]);
        QCOMPARE(caption(*session, "Label10"), captions[2]);
        // Left to right, each label after the one before, on the radical's picture.
        for (size_t i = 1; i < std::size(kRow); ++i) {
            const Label &before = label(*session, kRow[i - 1]), &after = label(*session, kRow[i]);
            QVERIFY2(after.left() >= before.left() + before.width(), kRow[i]);
        }
        QCOMPARE(control<Canvas>(*session, "Picture2").left(), label(*session, "Label9").left());
    }

    void hintAndRevealChangeOnlyWhatTheyShould() {
        const auto session = started("dorvane", 16);
        const QJsonValue before = state(*session)["controls"];
        run(*session, "click Image2\nwait 500\nclick Image2");
        QCOMPARE(session->messages().size(), size_t(2));
        QCOMPARE(session->messages()[1].title, std::string("提示"));
        QCOMPARE(session->messages()[1].text,
                 std::string("在坐标系中，按住鼠标左键并拖动，可以改变线段的端点位置"));
        QCOMPARE(state(*session)["controls"], before);

        run(*session, "click Command2");
        QVERIFY(formulaShown(*session));
        const QJsonValue revealed = state(*session)["controls"];
        run(*session, "click Command2");
        QCOMPARE(state(*session)["controls"], revealed);
        // The radical picture masks the overline's tail beyond the distance.
        const QImage image = session->render();
        const auto dark = [&](double twipsX) {
            const int x = int(twipsX / 15);
            return image.pixelColor(x, 432).lightness() < 128 ||
                   image.pixelColor(x, 433).lightness() < 128;
        };
        QVERIFY(dark(label(*session, "Label7").left() + 45));
        QVERIFY(!dark(label(*session, "Label10").left() + 450));
    }

    // The full projections after 100 steps, worked out from the points by hand.
    void hundredSteps_data() {
        lessontest::columns<QLineF, QList<QLineF>>(
            {"segment", "projections"});  // Quillet, Line3, Line4, Line5
        QTest::newRow("start segment")
            << QLineF(1, 1, 4, 5)
            << QList<QLineF>{{0, 1, 4, 1}, {4, 0, 4, 5}, {1, 1, 1, 0}, {4, 5, 0, 5}};
        QTest::newRow("negative coordinates") << QLineF(-1.5, 2.5, 7.25, -2.25)
                                              << QList<QLineF>{{0, 2.5, 7.25, 2.5},
                                                               {7.25, 0, 7.25, -2.25},
                                                               {-1.5, 2.5, -1.5, 0},
                                                               {7.25, -2.25, 0, -2.25}};
    }
    void hundredSteps() {
        QFETCH(QLineF, segment);
        QFETCH(QList<QLineF>, projections);
        const auto session = started("dorvane", 16);
        line(*session, "Line1")
            .setEnds(float(segment.x1()), float(segment.y1()), float(segment.x2()),
                     float(segment.y2()));
        run(*session, "click Command1");
        QVERIFY(allVisible(*session, {"Quillet", "Line3", "Line4", "Line5"}, false));
        session->clock().advance(kStepMs);
        QVERIFY(allVisible(*session, {"Quillet", "Line3", "Line4", "Line5"}));
        QCOMPARE(topLeft(*session, "Label3"), QPointF(segment.x2(), segment.y1()));
        session->clock().advance(98 * kStepMs);
        QCOMPARE(variable(*session, "stepCount"), 99.0);
        QVERIFY(demonstrationRunning(*session) && !isVisible(*session, "Label3"));
        QVERIFY(!formulaShown(*session));
        session->clock().advance(kStepMs);
        QVERIFY(!demonstrationRunning(*session) && isVisible(*session, "Label3"));
        QCOMPARE(variable(*session, "stepCount"), 0.0);
        QVERIFY(formulaShown(*session));
        for (int i = 0; i < 4; ++i) COMPARE_NEARLY(ends(*session, kDotted[i]), projections[i]);
        QCOMPARE(ends(*session, "Line1"), segment);
    }

    // Single-precision steps for three lines, a double-precision step for Line5.
    void roundingOfTheSteps() {
        const auto session = started("dorvane", 16);
        run(*session, "click Command1");
        session->clock().advance(100 * kStepMs);
        QCOMPARE(exact(line(*session, "Quillet").x2()), "3.9999974");
        QCOMPARE(exact(line(*session, "Line3").y2()), "5.000001");
        QCOMPARE(exact(line(*session, "Line4").y2()), "6.7055225e-07");
        QCOMPARE(exact(line(*session, "Line5").x2()), "2.6366115e-06");
    }

    void secondClickAndPressDuringTheRun() {
        const auto session = started("dorvane", 16);
        run(*session, "click Command1");
        session->clock().advance(50 * kStepMs);
        run(*session, "click Command1");
        QCOMPARE(variable(*session, "stepCount"), 50.0);
        QCOMPARE(ends(*session, "Quillet"), QLineF(0, 1, 0, 1));
        session->clock().advance(10 * kStepMs);
        // The press sets the full projections at once; the last 40 steps go on from there.
        press(*session, {1, 1});
        QCOMPARE(ends(*session, "Line3"), QLineF(4, 5, 4, 0));
        session->clock().advance(40 * kStepMs);
        QVERIFY(!demonstrationRunning(*session));
        COMPARE_NEARLY(ends(*session, "Quillet"), QLineF(0, 1, 5.6, 1));
        COMPARE_NEARLY(ends(*session, "Line3"), QLineF(4, 5, 4, 2));
        COMPARE_NEARLY(ends(*session, "Line4"), QLineF(1, 1, 1, -0.4));
        COMPARE_NEARLY(ends(*session, "Line5"), QLineF(4, 5, -1.6, 5));
    }

    // Steps that would carry a line end past the largest single stop there.
    void pointAtTheEndOfTheSingleRange() {
        const auto session = started("dorvane", 16);
        const float far = 0.9f * FLT_MAX;
        line(*session, "Line1").setEnds(2, 3, far, far);
        run(*session, "click Command1");
        session->clock().advance(10 * kStepMs);
        press(*session, {2, 3});
        session->clock().advance(90 * kStepMs);
        QCOMPARE(line(*session, "Quillet").x2(), FLT_MAX);
        for (const char* name : {"Line3", "Line4", "Line5"}) {
            const QLineF shape = ends(*session, name);
            QVERIFY(std::isfinite(shape.x2()) && std::isfinite(shape.y2()));
        }
    }

private slots:
    void whichPointMoves_data() {
        lessontest::columns<QPointF, QPointF, QString, int, QPointF, QString>(
            {"a", "b", "action", "button", "pointer", "moved"});
        QTest::newRow("press nearer A")
            << kStartA << kStartB << "down" << 1 << QPointF(2, 1) << "A";
        QTest::newRow("press nearer B")
            << kStartA << kStartB << "down" << 1 << QPointF(4, 4) << "B";
        QTest::newRow("drag entering with the button held")
            << kStartA << kStartB << "move" << 1 << QPointF(3.5, 5) << "B";
        QTest::newRow("equal distances, drag")
            << QPointF(1, 1) << QPointF(3, 1) << "move" << 1 << QPointF(2, 1) << "none";
        QTest::newRow("coinciding")
            << QPointF(2, 2) << QPointF(2, 2) << "down" << 1 << QPointF(3, 2) << "none";
        // Equal true distances that single precision cannot hold: the rounding of bb decides.
        QTest::newRow("tie, bb rounded up")
            << kStartA << kStartB << "down" << 1 << QPointF(0x1.db3b3p+1f, 0x1.0b939cp+1f) << "A";
        QTest::newRow("tie, bb rounded down")
            << kStartA << kStartB << "move" << 1 << QPointF(0x1.33d38cp+2f, 0x1.44855cp+0f) << "B";
    }
    void whichPointMoves() {
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        QFETCH(QString, action);
        QFETCH(int, button);
        QFETCH(QPointF, pointer);
        QFETCH(QString, moved);
        const auto session = withPoints(a, b);
        action == "down" ? press(*session, pointer, button) : move(*session, pointer, button);
        QCOMPARE(ends(*session, "Line1"),
                 QLineF(moved == "A" ? pointer : a, moved == "B" ? pointer : b));
        QCOMPARE(variable(*session, "aa"), squaredDistance(pointer, a));
        QCOMPARE(variable(*session, "bb"), double(float(squaredDistance(pointer, b))));
        // A press shows the construction but not the formula; a drag the other way round.
        QCOMPARE(allVisible(*session, {"Quillet", "Line3", "Line4", "Line5", "Label3"}),
                 action == "down");
        QCOMPARE(formulaShown(*session), action == "move");
    }

    // Each row drags one point from its place to the target. Quillet keeps its height
    // (7.5 here) when B moves, and the line of the other point stays where it was.
    void dottedLinesFollow_data() {
        lessontest::columns<QString, QPointF, QPointF, QPointF, QLineF, QLineF, QLineF>(
            {"moving", "a", "b", "target", "quillet", "line3", "own"});  // Line4 for A, Line5 for B
        const auto row = [](const char* name, const char* moving, QPointF a, QPointF b,
                            QPointF target, QLineF quillet, QLineF line3, QLineF own) {
            QTest::newRow(name) << moving << a << b << target << quillet << line3 << own;
        };
        row("A between the y axis and B", "A", {1, 1}, {8, 6}, {2, 3}, {0, 3, 8, 3}, {8, 6, 8, 0},
            {2, 3, 2, 0});
        row("A on the y axis", "A", {1, 1}, {8, 6}, {0, 3}, {0, 3, 8, 3}, {8, 6, 8, 0},
            {0, 3, 0, 0});
        row("A left of the y axis", "A", {1, 1}, {8, 6}, {-1, 2}, {-1, 2, 8, 2}, {8, 6, 8, 0},
            {-1, 2, -1, 0});
        row("A at B's x", "A", {3, 1}, {4, 6}, {4, 1}, {4, 1, 4, 1}, {4, 6, 4, 0}, {4, 1, 4, 0});
        row("A above B", "A", {1, 5}, {3, 2}, {1, 6}, {0, 6, 3, 6}, {3, 0, 3, 6}, {1, 6, 1, 0});
        row("A at B's height", "A", {1, 2}, {6, 2}, {1.5, 2}, {0, 2, 6, 2}, {6, 2, 6, 2},
            {1.5, 2, 1.5, 0});
        row("B right of and above A", "B", {1, 1}, {4, 5}, {5, 6}, {0, 7.5, 5, 7.5}, {5, 6, 5, 0},
            {5, 6, 0, 6});
        row("B between the y axis and A", "B", {5, 4}, {2, 2}, {3, 2}, {5, 7.5, 0, 7.5},
            {3, 4, 3, 0}, {0, 2, 3, 2});
        row("B at A's x", "B", {5, 4}, {5, 1}, {5, 2}, {5, 7.5, 0, 7.5}, {5, 4, 5, 0},
            {5, 2, 0, 2});
        row("B on the y axis", "B", {5, 4}, {1, 1}, {0, 1}, {5, 7.5, 0, 7.5}, {0, 4, 0, 0},
            {0, 1, 0, 1});
        row("B at A's height", "B", {1, 3}, {5, 2}, {5, 3}, {0, 7.5, 5, 7.5}, {5, 3, 5, 3},
            {5, 3, 0, 3});
        row("B below the x axis", "B", {1, 3}, {5, 0}, {5, -1}, {0, 7.5, 5, 7.5}, {5, -1, 5, 3},
            {5, -1, 0, -1});
    }
    void dottedLinesFollow() {
        QFETCH(QString, moving);
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        QFETCH(QPointF, target);
        const auto session = withPoints(a, b);
        for (const char* name : kDotted) line(*session, name).setEnds(11, 7.5f, 12, 7.5f);
        move(*session, target);
        const bool movesA = moving == "A";
        QCOMPARE(ends(*session, "Line1"), QLineF(movesA ? target : a, movesA ? b : target));
        QTEST(ends(*session, "Quillet"), "quillet");
        QTEST(ends(*session, "Line3"), "line3");
        QTEST(ends(*session, movesA ? "Line4" : "Line5"), "own");
        QCOMPARE(ends(*session, movesA ? "Line5" : "Line4"), QLineF(11, 7.5, 12, 7.5));
        QCOMPARE(topLeft(*session, "Label3"),
                 QPointF(movesA ? b.x() : target.x(), movesA ? target.y() : a.y()));
    }

    // From the start A(1,1), B(4,5); the texts are cut after four characters, not rounded.
    // The marker and label places (left, top of each) take decimal offsets added in double
    // precision and stored in single precision once: the shortest decimals of those singles.
    void captionsAndPlaces_data() {
        lessontest::columns<QPointF, QString, QString, QString, QStringList>(
            {"pointer", "labelName", "expected", "vertex", "places"});
        QTest::newRow("cut, not rounded") << QPointF(2.999f, 1) << "Label1"
                                          << "A(2.99,1)"
                                          << "O(4,1)" << QStringList();
        QTest::newRow("negative") << QPointF(-1.25, 0.5) << "Label1"
                                  << "A(-1.2,0.5)"
                                  << "O(4,0.5)" << QStringList();
        QTest::newRow("tiny, no exponent") << QPointF(-1.2e-7f, 1) << "Label1"
                                           << "A(-0.0,1)"
                                           << "O(4,1)" << QStringList();
        QTest::newRow("very large, no exponent") << QPointF(1.5e30f, 2e30f) << "Label2"
                                                 << "B(1500,2000)"
                                                 << "O(1500,1)" << QStringList();
        QTest::newRow("A near the x axis")
            << QPointF(1, 0.03f) << "Label1"
            << "A(1,0.03)"
            << "O(4,0.03)" << QStringList{"0.89", "0.15", "0.4", "-0.47"};
        QTest::newRow("B left of the y axis")
            << QPointF(-0.35f, 6) << "Label2"
            << "B(-0.3,6)"
            << "O(-0.3,1)" << QStringList{"-0.46", "6.12", "-0.95", "5.5"};
    }
    void captionsAndPlaces() {
        QFETCH(QPointF, pointer);
        QFETCH(QString, labelName);
        QFETCH(QStringList, places);
        const auto session = started("dorvane", 20);
        move(*session, pointer);
        QTEST(caption(*session, labelName.toStdString()), "expected");
        QTEST(caption(*session, "Label3"), "vertex");
        if (places.isEmpty()) return;
        QStringList found;
        for (const std::string& name :
             {std::string(labelName == "Label1" ? "shi" : "zhong"), labelName.toStdString()})
            found << exact(float(topLeft(*session, name).x()))
                  << exact(float(topLeft(*session, name).y()));
        QCOMPARE(found, places);
    }

    // The squared distance to A rounds each square, then their sum. A fused multiply-add
    // (GCC contracts a*a + b*b so on aarch64 unless told not to) rounds once and, with A
    // off the pointer's grid, lands one unit in the last place higher: exact rational
    // arithmetic gives 105.60630225918959 for the rounded squares, 105.6063022591896 fused,
    // whichever square is fused.
    void squaredDistanceRoundsEachSquare() {
        const QPointF a(double(0.1f), double(0.1f));
        const QPointF pointer(double(0x1.a34d2ep+2f), double(0x1.032aacp+3f));
        const auto session = withPoints(a, kStartB);
        press(*session, pointer, 1);
        QCOMPARE(ends(*session, "Line1"), QLineF(a, pointer));
        QCOMPARE(variable(*session, "aa"), 105.60630225918959);
    }

    // A drag that leaves the canvas keeps reporting positions. Far out the squared
    // distances pass the single range, and bb saturating there keeps B the nearer point.
    void farDrags_data() {
        QTest::addColumn<QPointF>("far");
        QTest::newRow("1e30 down right") << QPointF(1e30f, -1e30f);
        QTest::newRow("end of the single range") << QPointF(-FLT_MAX, FLT_MAX);
    }
    void farDrags() {
        QFETCH(QPointF, far);
        const auto session = started("dorvane", 20);
        QCoreApplication::processEvents();
        press(*session, kStartB);
        move(*session, far);
        QCOMPARE(ends(*session, "Line1"), QLineF(kStartA, far));
        QVERIFY(screenMatchesFullRepaint(*session));
        press(*session, far);
        move(*session, {2, 3});
        QCOMPARE(ends(*session, "Line1"), QLineF(QPointF(2, 3), far));
        for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label7", "Label10"})
            QVERIFY2(!caption(*session, name).contains('e', Qt::CaseInsensitive), name);
        for (const char* name : kDotted) {
            const QLineF shape = ends(*session, name);
            QVERIFY(std::isfinite(shape.x1() + shape.y1() + shape.x2() + shape.y2()));
        }
        const QImage image = session->render();
        QVERIFY(redPixelsNear(*session, image, 2, 3, 4) > 10);
        // The dotted line from A towards the far B still crosses the canvas at A's height.
        const QPointF from = windowPixel(*session, 0.6, 3), to = windowPixel(*session, 1.6, 3);
        int dark = 0;
        for (int column = int(from.x()); column < int(to.x()); ++column)
            dark += qGray(image.pixel(column, int(std::floor(from.y())))) < 100 ? 1 : 0;
        QVERIFY2(dark > 8, qPrintable(QString::number(dark)));
        QVERIFY(screenMatchesFullRepaint(*session));
    }
};

QTEST_MAIN(TestDistance)
#include "tst_distance.moc"
