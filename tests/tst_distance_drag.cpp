// Dragging the end points of the distance lesson: which point moves, where the marker,
// the labels and the dotted projections go, the captions and the formula row.
#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <array>
#include <cfloat>
#include <cmath>

#include "distancetest.h"
#include "fonts.h"
#include "statejson.h"

using namespace distancetest;

namespace {

const QPointF kStartA(1, 1);
const QPointF kStartB(4, 5);

double squaredDistance(QPointF p, QPointF q) {
    const double dx = p.x() - q.x();
    const double dy = p.y() - q.y();
    return dx * dx + dy * dy;
}

QString exact(float value) {
    return QString::fromStdString(replay::jsonNumber(value));
}

QJsonObject controlsOf(replay::Session& session) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(session.takeState()))
        .object()
        .value("controls")
        .toObject();
}

const char* const kFormulaRow[] = {"Image1", "Image4", "Label4", "Label5", "Label6",
                                   "Label7", "Label8", "Label9", "Label10"};
const char* const kDottedLines[] = {"Quillet", "Line3", "Line4", "Line5"};

bool formulaShown(replay::Session& session) {
    for (const char* name : kFormulaRow) {
        if (!isVisible(session, name)) return false;
    }
    return true;
}

bool dottedLinesShown(replay::Session& session) {
    for (const char* name : kDottedLines) {
        if (!isVisible(session, name)) return false;
    }
    return true;
}

// Paints what the handlers invalidated, as the window's event loop would.
void flushPaint() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

// What the screen shows after the incremental repaints, against a full repaint: a change
// that invalidates too little leaves stale pixels behind.
bool screenMatchesFullRepaint(replay::Session& session) {
    QWidget& window = session.form().window();
    const QImage onScreen = window.screen()
                                ->grabWindow(window.window()->winId(), window.x(), window.y(),
                                             window.width(), window.height())
                                .toImage();
    const QImage repainted = window.grab().toImage();
    return onScreen.convertToFormat(QImage::Format_RGB32) ==
           repainted.convertToFormat(QImage::Format_RGB32);
}

// A pointer on the perpendicular bisector of A(1,1) and B(3,1), or around coinciding
// points, is at the same true distance from both; the squared distance is exact in double,
// so only the rounding of bb into single precision can break the tie.
void addTieRow(QPointF a, QPointF b, QPointF pointer, int& up, int& down, int wanted) {
    const double exactDistance = squaredDistance(pointer, a);
    const float stored = float(exactDistance);
    if (double(stored) == exactDistance) return;
    const bool roundedUp = double(stored) > exactDistance;
    int& count = roundedUp ? up : down;
    if (count == wanted) return;
    ++count;
    const QString action = (up + down) % 2 ? "down" : "move";
    QTest::addRow("%s %s, %s #%d", a == b ? "coinciding" : "bisector", qPrintable(action),
                  roundedUp ? "bb rounded up" : "bb rounded down", count)
        << a << b << pointer << action << (roundedUp ? "A" : "B");
}

}  // namespace

class TestDistanceDrag : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { forms::installFontMapping(); }

    void whichPointMoves_data() {
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<QPointF>("b");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("button");
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<QString>("moved");
        QTest::newRow("press nearer A")
            << kStartA << kStartB << "down" << 1 << QPointF(2, 1) << "A";
        QTest::newRow("press nearer B")
            << kStartA << kStartB << "down" << 1 << QPointF(4, 4) << "B";
        QTest::newRow("right press") << kStartA << kStartB << "down" << 2 << QPointF(2, 1) << "A";
        QTest::newRow("middle press") << kStartA << kStartB << "down" << 4 << QPointF(4, 4) << "B";
        QTest::newRow("drag entering with the button held, A")
            << kStartA << kStartB << "move" << 1 << QPointF(1.5, 1.5) << "A";
        QTest::newRow("drag entering with the button held, B")
            << kStartA << kStartB << "move" << 1 << QPointF(3.5, 5) << "B";
        QTest::newRow("press on A") << kStartA << kStartB << "down" << 1 << kStartA << "A";
        QTest::newRow("equal distances, press")
            << QPointF(1, 1) << QPointF(3, 1) << "down" << 1 << QPointF(2, 1) << "none";
        QTest::newRow("equal distances, drag")
            << QPointF(1, 1) << QPointF(3, 1) << "move" << 1 << QPointF(2, 1) << "none";
        QTest::newRow("coinciding, one unit right")
            << QPointF(2, 2) << QPointF(2, 2) << "down" << 1 << QPointF(3, 2) << "none";
        QTest::newRow("coinciding, one unit down")
            << QPointF(2, 2) << QPointF(2, 2) << "move" << 1 << QPointF(2, 1) << "none";
        QTest::newRow("coinciding, on them")
            << QPointF(2, 2) << QPointF(2, 2) << "down" << 2 << QPointF(2, 2) << "none";
    }
    void whichPointMoves() {
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        QFETCH(QString, action);
        QFETCH(int, button);
        QFETCH(QPointF, pointer);
        QFETCH(QString, moved);
        const auto session = startedLesson();
        placePoints(*session, a, b);

        if (action == "down")
            press(*session, pointer, button);
        else
            move(*session, pointer, button);

        QCOMPARE(pointA(*session), moved == "A" ? pointer : a);
        QCOMPARE(pointB(*session), moved == "B" ? pointer : b);
        QCOMPARE(lessontest::variable(session->form(), "aa"), squaredDistance(pointer, a));
        QCOMPARE(lessontest::variable(session->form(), "bb"),
                 double(float(squaredDistance(pointer, b))));
        // A press shows the construction but not the formula; a drag the other way round.
        QCOMPARE(dottedLinesShown(*session), action == "down");
        QCOMPARE(isVisible(*session, "Label3"), action == "down");
        QCOMPARE(formulaShown(*session), action == "move");
    }

    void tieDecidedByRoundingOfBb_data() {
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<QPointF>("b");
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("moved");
        const int wanted = 3;
        int up = 0, down = 0;
        for (int k = 1; k < 400 && (up < wanted || down < wanted); ++k)
            addTieRow({1, 1}, {3, 1}, {2, 1 + 0.01f * float(k)}, up, down, wanted);
        QVERIFY(up == wanted && down == wanted);
        up = down = 0;
        for (int k = 1; k < 400 && (up < wanted || down < wanted); ++k)
            addTieRow({2, 2}, {2, 2}, {2 + 0.01f * float(k), 2.3f}, up, down, wanted);
        QVERIFY(up == wanted && down == wanted);
    }
    void tieDecidedByRoundingOfBb() {
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        QFETCH(QPointF, pointer);
        QFETCH(QString, action);
        QFETCH(QString, moved);
        const auto session = startedLesson();
        placePoints(*session, a, b);

        if (action == "down")
            press(*session, pointer);
        else
            move(*session, pointer);

        QCOMPARE(pointA(*session), moved == "A" ? pointer : a);
        QCOMPARE(pointB(*session), moved == "B" ? pointer : b);
    }

    void equalDistancePressShowsFullProjections() {
        const auto session = startedLesson();
        forms::Label& vertex = label(*session, "Label3");
        const float vertexLeft = vertex.left(), vertexTop = vertex.top();
        placePoints(*session, {1, 1}, {3, 1});

        press(*session, {2, 1});

        QCOMPARE(pointA(*session), QPointF(1, 1));
        QCOMPARE(pointB(*session), QPointF(3, 1));
        QVERIFY(dottedLinesShown(*session));
        QCOMPARE(ends(*session, "Quillet"), QLineF(0, 1, 3, 1));
        QCOMPARE(ends(*session, "Line3"), QLineF(3, 0, 3, 1));
        QCOMPARE(ends(*session, "Line4"), QLineF(1, 1, 1, 0));
        QCOMPARE(ends(*session, "Line5"), QLineF(3, 1, 0, 1));
        QVERIFY(vertex.isVisible());
        QCOMPARE(caption(*session, "Label3"), "O(4,1)");
        QCOMPARE(vertex.left(), vertexLeft);
        QCOMPARE(vertex.top(), vertexTop);
        QCOMPARE(caption(*session, "Label4"), "2");
        QCOMPARE(caption(*session, "Label7"), "0");
        QCOMPARE(caption(*session, "Label10"), "2");
        QVERIFY(!formulaShown(*session));
    }

    // Each row drags A from a to the target with B at b. Line5 belongs to B and must
    // stay where it was.
    void dottedLinesFollowA_data() {
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<QPointF>("b");
        QTest::addColumn<QPointF>("target");
        QTest::addColumn<QLineF>("quillet");
        QTest::addColumn<QLineF>("line3");
        QTest::addColumn<QLineF>("line4");
        QTest::newRow("between the y axis and B, below B")
            << QPointF(1, 1) << QPointF(8, 6) << QPointF(2, 3) << QLineF(0, 3, 8, 3)
            << QLineF(8, 6, 8, 0) << QLineF(2, 3, 2, 0);
        QTest::newRow("on the y axis")
            << QPointF(1, 1) << QPointF(8, 6) << QPointF(0, 3) << QLineF(0, 3, 8, 3)
            << QLineF(8, 6, 8, 0) << QLineF(0, 3, 0, 0);
        QTest::newRow("left of the y axis")
            << QPointF(1, 1) << QPointF(8, 6) << QPointF(-1, 2) << QLineF(-1, 2, 8, 2)
            << QLineF(8, 6, 8, 0) << QLineF(-1, 2, -1, 0);
        QTest::newRow("at B's x") << QPointF(3, 1) << QPointF(4, 6) << QPointF(4, 1)
                                  << QLineF(4, 1, 4, 1) << QLineF(4, 6, 4, 0) << QLineF(4, 1, 4, 0);
        QTest::newRow("right of B")
            << QPointF(5, 1) << QPointF(3, 6) << QPointF(6, 1) << QLineF(6, 1, 3, 1)
            << QLineF(3, 6, 3, 0) << QLineF(6, 1, 6, 0);
        QTest::newRow("above B") << QPointF(1, 5) << QPointF(3, 2) << QPointF(1, 6)
                                 << QLineF(0, 6, 3, 6) << QLineF(3, 0, 3, 6) << QLineF(1, 6, 1, 0);
        QTest::newRow("at B's height")
            << QPointF(1, 2) << QPointF(6, 2) << QPointF(1.5, 2) << QLineF(0, 2, 6, 2)
            << QLineF(6, 2, 6, 2) << QLineF(1.5, 2, 1.5, 0);
        QTest::newRow("on the x axis")
            << QPointF(1, 1) << QPointF(6, 4) << QPointF(1, 0) << QLineF(0, 0, 6, 0)
            << QLineF(6, 4, 6, 0) << QLineF(1, 0, 1, 0);
        QTest::newRow("below the x axis")
            << QPointF(1, 0) << QPointF(6, 4) << QPointF(1, -2) << QLineF(0, -2, 6, -2)
            << QLineF(6, 4, 6, -2) << QLineF(1, -2, 1, 0);
        QTest::newRow("B in the third quadrant")
            << QPointF(1, 1) << QPointF(-3, -2) << QPointF(2, 2) << QLineF(2, 2, -3, 2)
            << QLineF(-3, 0, -3, 2) << QLineF(2, 2, 2, 0);
    }
    void dottedLinesFollowA() {
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        QFETCH(QPointF, target);
        QFETCH(QLineF, quillet);
        QFETCH(QLineF, line3);
        QFETCH(QLineF, line4);
        const auto session = startedLesson();
        placePoints(*session, a, b);
        for (const char* name : kDottedLines) line(*session, name).setEnds(11, 7.5f, 12, 7.5f);

        move(*session, target);

        QCOMPARE(pointA(*session), target);
        QCOMPARE(ends(*session, "Quillet"), quillet);
        QCOMPARE(ends(*session, "Line3"), line3);
        QCOMPARE(ends(*session, "Line4"), line4);
        QCOMPARE(ends(*session, "Line5"), QLineF(11, 7.5, 12, 7.5));
        QCOMPARE(label(*session, "Label3").left(), float(b.x()));
        QCOMPARE(label(*session, "Label3").top(), float(target.y()));
    }

    // Each row drags B from b to the target with A at a. Quillet keeps its height (7.5
    // here) and Line4 belongs to A and must stay where it was.
    void dottedLinesFollowB_data() {
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<QPointF>("b");
        QTest::addColumn<QPointF>("target");
        QTest::addColumn<QLineF>("quillet");
        QTest::addColumn<QLineF>("line3");
        QTest::addColumn<QLineF>("line5");
        QTest::newRow("right of and above A")
            << QPointF(1, 1) << QPointF(4, 5) << QPointF(5, 6) << QLineF(0, 7.5, 5, 7.5)
            << QLineF(5, 6, 5, 0) << QLineF(5, 6, 0, 6);
        QTest::newRow("between the y axis and A, below A")
            << QPointF(5, 4) << QPointF(2, 2) << QPointF(3, 2) << QLineF(5, 7.5, 0, 7.5)
            << QLineF(3, 4, 3, 0) << QLineF(0, 2, 3, 2);
        QTest::newRow("at A's x") << QPointF(5, 4) << QPointF(5, 1) << QPointF(5, 2)
                                  << QLineF(5, 7.5, 0, 7.5) << QLineF(5, 4, 5, 0)
                                  << QLineF(5, 2, 0, 2);
        QTest::newRow("on the y axis")
            << QPointF(5, 4) << QPointF(1, 1) << QPointF(0, 1) << QLineF(5, 7.5, 0, 7.5)
            << QLineF(0, 4, 0, 0) << QLineF(0, 1, 0, 1);
        QTest::newRow("left of the y axis")
            << QPointF(5, 4) << QPointF(1, 1) << QPointF(-2, 1) << QLineF(5, 7.5, -2, 7.5)
            << QLineF(-2, 4, -2, 0) << QLineF(-2, 1, 0, 1);
        QTest::newRow("at A's height")
            << QPointF(1, 3) << QPointF(5, 2) << QPointF(5, 3) << QLineF(0, 7.5, 5, 7.5)
            << QLineF(5, 3, 5, 3) << QLineF(5, 3, 0, 3);
        QTest::newRow("on the x axis")
            << QPointF(1, 3) << QPointF(5, 1) << QPointF(5, 0) << QLineF(0, 7.5, 5, 7.5)
            << QLineF(5, 3, 5, 0) << QLineF(5, 0, 0, 0);
        QTest::newRow("below the x axis")
            << QPointF(1, 3) << QPointF(5, 0) << QPointF(5, -1) << QLineF(0, 7.5, 5, 7.5)
            << QLineF(5, -1, 5, 3) << QLineF(5, -1, 0, -1);
        QTest::newRow("A in the third quadrant")
            << QPointF(-3, -2) << QPointF(1, 1) << QPointF(2, 1) << QLineF(0, 7.5, 2, 7.5)
            << QLineF(2, 1, 2, 0) << QLineF(2, 1, 0, 1);
        QTest::newRow("between A and the y axis, A in the third quadrant")
            << QPointF(-3, -2) << QPointF(-1, -1) << QPointF(-2, -1) << QLineF(0, 7.5, -2, 7.5)
            << QLineF(-2, -1, -2, 0) << QLineF(-2, -1, 0, -1);
    }
    void dottedLinesFollowB() {
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        QFETCH(QPointF, target);
        QFETCH(QLineF, quillet);
        QFETCH(QLineF, line3);
        QFETCH(QLineF, line5);
        const auto session = startedLesson();
        placePoints(*session, a, b);
        for (const char* name : kDottedLines) line(*session, name).setEnds(11, 7.5f, 12, 7.5f);

        move(*session, target);

        QCOMPARE(pointB(*session), target);
        QCOMPARE(ends(*session, "Quillet"), quillet);
        QCOMPARE(ends(*session, "Line3"), line3);
        QCOMPARE(ends(*session, "Line4"), QLineF(11, 7.5, 12, 7.5));
        QCOMPARE(ends(*session, "Line5"), line5);
        QCOMPARE(label(*session, "Label3").left(), float(target.x()));
        QCOMPARE(label(*session, "Label3").top(), float(a.y()));
    }

    // From the start A(1,1), B(4,5), the target is nearer the point the caption names.
    void captions_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<QString>("labelName");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("vertex");
        QTest::newRow("quarters") << 0.25f << -0.25f << "Label1"
                                  << "A(0.25,-0.2)"
                                  << "O(4,-0.2)";
        QTest::newRow("twelve and three quarters") << 12.75f << 7.5f << "Label2"
                                                   << "B(12.7,7.5)"
                                                   << "O(12.7,1)";
        QTest::newRow("cut, not rounded") << 2.999f << 1.0f << "Label1"
                                          << "A(2.99,1)"
                                          << "O(4,1)";
        QTest::newRow("seven digits") << 2.346667f << 3.5f << "Label2"
                                      << "B(2.34,3.5)"
                                      << "O(2.34,1)";
        QTest::newRow("negative") << -1.25f << 0.5f << "Label1"
                                  << "A(-1.2,0.5)"
                                  << "O(4,0.5)";
        QTest::newRow("tiny, no exponent") << 1.2e-7f << 1.0f << "Label1"
                                           << "A(0.00,1)"
                                           << "O(4,1)";
        QTest::newRow("negative tiny, no exponent") << -1.2e-7f << 1.0f << "Label1"
                                                    << "A(-0.0,1)"
                                                    << "O(4,1)";
        QTest::newRow("large") << 100.5f << -12.5f << "Label2"
                               << "B(100.,-12.)"
                               << "O(100.,1)";
        QTest::newRow("very large, no exponent") << 1.5e30f << 2e30f << "Label2"
                                                 << "B(1500,2000)"
                                                 << "O(1500,1)";
    }
    void captions() {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(QString, labelName);
        QFETCH(QString, expected);
        QFETCH(QString, vertex);
        const auto session = startedLesson();

        move(*session, {x, y});

        QCOMPARE(caption(*session, labelName.toStdString()), expected);
        QCOMPARE(caption(*session, "Label3"), vertex);
    }

    // The offsets are decimals added in double precision and stored in single precision
    // once; the expected texts are the shortest decimals of the stored singles.
    void markerAndLabelFollow_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("labelName");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("A at quarters")
            << 0.25f << -0.25f << "shi"
            << "Label1" << QStringList{"0.14", "-0.13", "-0.35", "-0.75"};
        QTest::newRow("A near the x axis")
            << 1.0f << 0.03f << "shi"
            << "Label1" << QStringList{"0.89", "0.15", "0.4", "-0.47"};
        QTest::newRow("B at the right edge")
            << 12.75f << 7.5f << "zhong"
            << "Label2" << QStringList{"12.64", "7.62", "12.15", "7"};
        QTest::newRow("B left of the y axis")
            << -0.35f << 6.0f << "zhong"
            << "Label2" << QStringList{"-0.46", "6.12", "-0.95", "5.5"};
    }
    void markerAndLabelFollow() {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(QString, marker);
        QFETCH(QString, labelName);
        QFETCH(QStringList, expected);
        const auto session = startedLesson();

        move(*session, {x, y});

        const auto& shape =
            lessontest::control<forms::Shape>(session->form(), marker.toStdString());
        const forms::Label& name = label(*session, labelName.toStdString());
        QCOMPARE(exact(shape.left()), expected[0]);
        QCOMPARE(exact(shape.top()), expected[1]);
        QCOMPARE(exact(name.left()), expected[2]);
        QCOMPARE(exact(name.top()), expected[3]);
    }

    void formulaRow_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("shown");
        QTest::newRow("drag") << "move" << true;
        QTest::newRow("press") << "down" << false;
    }
    void formulaRow() {
        QFETCH(QString, action);
        QFETCH(bool, shown);
        const auto session = startedLesson();

        if (action == "down")
            press(*session, {2.5, 3.25});
        else
            move(*session, {2.5, 3.25});

        QCOMPARE(pointB(*session), QPointF(2.5, 3.25));
        QCOMPARE(caption(*session, "Label4"), "1.5");
        QCOMPARE(caption(*session, "Label7"), "2.25");
        QCOMPARE(caption(*session, "Label10"), "2.70416345659799");
        QCOMPARE(formulaShown(*session), shown);
    }

    // Only the left button alone drags; any other state leaves the window as it was but
    // still measures the distances.
    void moveWithoutLeftButtonAlone_data() {
        QTest::addColumn<int>("buttons");
        QTest::newRow("none") << 0;
        QTest::newRow("right") << 2;
        QTest::newRow("middle") << 4;
        QTest::newRow("left and right") << 3;
        QTest::newRow("left and middle") << 5;
        QTest::newRow("all three") << 7;
    }
    void moveWithoutLeftButtonAlone() {
        QFETCH(int, buttons);
        const auto session = startedLesson();
        press(*session, kStartA);
        QCOMPARE(lessontest::variable(session->form(), "aa"), 0.0);
        const QJsonObject controlsBefore = controlsOf(*session);
        const QImage before = session->render();

        move(*session, {6.5, 2.25}, buttons);

        QCOMPARE(controlsOf(*session), controlsBefore);
        QCOMPARE(session->render(), before);
        QCOMPARE(lessontest::variable(session->form(), "aa"), 31.8125);
        QCOMPARE(lessontest::variable(session->form(), "bb"), 13.8125);
    }

    void dragPassingTheOtherPointCarriesItOn() {
        const auto session = startedLesson();
        // From A(1,1) through B(4,5) and beyond, in steps of 0.4 along the segment.
        const auto pointer = [](int step) {
            return QPointF(1 + 0.24f * float(step), 1 + 0.32f * float(step));
        };
        for (int step = 1; step <= 15; ++step) move(*session, pointer(step));

        QCOMPARE(pointA(*session), pointer(11));
        QCOMPARE(pointB(*session), pointer(15));
    }

    // A drag that leaves the canvas keeps reporting positions; far away and back the window
    // must stay quick and correct.
    void farDragAndBack() {
        const auto session = startedLesson();
        QCoreApplication::processEvents();
        press(*session, kStartA);
        QElapsedTimer stepTimer;
        qint64 slowestNs = 0;
        const auto step = [&](QPointF at) {
            stepTimer.start();
            move(*session, at);
            flushPaint();
            slowestNs = std::max(slowestNs, stepTimer.nsecsElapsed());
        };
        for (int i = 1; i <= 50; ++i) step({1 - 100.0 * i, 1 - 60.0 * i});
        QCOMPARE(pointA(*session), QPointF(-4999, -2999));
        QCOMPARE(caption(*session, "Label1"), "A(-499,-299)");
        // Back in shrinking steps, so that A stays the nearer point up to its last step.
        for (int i = 1; i <= 60; ++i) {
            const double away = 5000 * std::pow(0.85, i);
            step({2 - away, 3 - 0.6 * away});
        }
        step({2, 3});

        QCOMPARE(pointA(*session), QPointF(2, 3));
        QCOMPARE(pointB(*session), kStartB);
        QCOMPARE(caption(*session, "Label1"), "A(2,3)");
        QVERIFY2(slowestNs < 250'000'000, qPrintable(QString::number(slowestNs / 1000000) + " ms"));
        const QImage image = session->render();
        QVERIFY(redPixelsNear(image, windowPixel(*session, 2, 3), 4) > 10);
        QVERIFY(redPixelsNear(image, windowPixel(*session, 4, 5), 4) > 10);
        QVERIFY(screenMatchesFullRepaint(*session));
    }

    void farDragToExtremes_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::newRow("1e30 up right") << 1e30f << 1e30f;
        QTest::newRow("1e30 down left") << -1e30f << -1e30f;
        QTest::newRow("1e30 down right") << 1e30f << -1e30f;
        QTest::newRow("end of the single range") << -FLT_MAX << FLT_MAX;
    }
    void farDragToExtremes() {
        QFETCH(float, x);
        QFETCH(float, y);
        const auto session = startedLesson();
        QCoreApplication::processEvents();
        press(*session, kStartB);
        QElapsedTimer timer;
        timer.start();

        move(*session, {x, y});
        flushPaint();
        press(*session, {x, y});
        flushPaint();
        move(*session, {2, 3});
        flushPaint();

        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed()) + " ms"));
        QCOMPARE(pointB(*session), QPointF(x, y));
        QCOMPARE(pointA(*session), QPointF(2, 3));
        for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label7", "Label10"}) {
            const QString text = caption(*session, name);
            QVERIFY2(!text.contains('e', Qt::CaseInsensitive), qPrintable(text));
        }
        for (const char* name : kDottedLines) {
            const QLineF shape = ends(*session, name);
            QVERIFY(std::isfinite(shape.x1()) && std::isfinite(shape.y1()) &&
                    std::isfinite(shape.x2()) && std::isfinite(shape.y2()));
        }
        const QImage image = session->render();
        QVERIFY(redPixelsNear(image, windowPixel(*session, 2, 3), 4) > 10);
        // The dotted line from A towards the far B still crosses the canvas at A's height,
        // clipped at its edge.
        const QPointF from = windowPixel(*session, 0.6, 3), to = windowPixel(*session, 1.6, 3);
        int dark = 0;
        for (int column = int(from.x()); column < int(to.x()); ++column) {
            if (qGray(image.pixel(column, int(std::floor(from.y())))) < 100) ++dark;
        }
        QVERIFY2(dark > 8, qPrintable(QString::number(dark)));
        QVERIFY(screenMatchesFullRepaint(*session));
    }

    // The whole road of a drag through real Qt mouse events on the canvas widget, and a
    // check that the incremental repaints leave the screen as a full repaint would.
    void dragThroughQtMouseEvents() {
        const auto session = startedLesson();
        QCoreApplication::processEvents();
        QWidget& view = canvas(*session).widget();
        const forms::UserScale& scale = canvas(*session).scale();
        const auto widgetPixel = [&](double x, double y) {
            return (scale.toPixels(x, y) + QPointF(2, 2)).toPoint();
        };
        // The position the handlers receive, kept and compared as singles: GCC 12 at -O2
        // folds away a pair of double-to-single-to-double round trips.
        const auto userPoint = [&](QPoint pixel) {
            const QPointF user = scale.toUser(QPointF(pixel - QPoint(2, 2)));
            return std::array<float, 2>{float(user.x()), float(user.y())};
        };
        const auto aIsAt = [&](std::array<float, 2> expected) {
            const forms::LineShape& segment = line(*session, "Line1");
            return segment.x1() == expected[0] && segment.y1() == expected[1];
        };
        const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button,
                              Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(at), QPointF(view.mapToGlobal(at)), button, held,
                              Qt::NoModifier);
            QApplication::sendEvent(&view, &event);
            flushPaint();
        };

        const QPoint pressAt = widgetPixel(1.2, 1.1);
        send(QEvent::MouseButtonPress, pressAt, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(aIsAt(userPoint(pressAt)));
        QVERIFY(dottedLinesShown(*session));
        QVERIFY(!formulaShown(*session));

        QPoint at = pressAt;
        for (int i = 1; i <= 20; ++i) {
            at = widgetPixel(1.2 + 0.1 * i, 1.1 + 0.05 * i);
            send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        }
        QVERIFY(aIsAt(userPoint(at)));
        QCOMPARE(pointB(*session), kStartB);
        QVERIFY(formulaShown(*session));

        // Beyond the widget's left edge the positions keep coming, left of the canvas.
        const QPoint outside(-40, at.y());
        send(QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
        QVERIFY(aIsAt(userPoint(outside)));
        QVERIFY(userPoint(outside)[0] < -2);
        QVERIFY(caption(*session, "Label1").startsWith("A(-3"));
        send(QEvent::MouseButtonRelease, outside, Qt::LeftButton, Qt::NoButton);

        send(QEvent::MouseMove, widgetPixel(6, 2), Qt::NoButton, Qt::NoButton);
        send(QEvent::MouseMove, widgetPixel(6, 2), Qt::NoButton, Qt::RightButton);
        QVERIFY(aIsAt(userPoint(outside)));
        QCOMPARE(pointB(*session), kStartB);

        QVERIFY(screenMatchesFullRepaint(*session));
    }
};

QTEST_MAIN(TestDistanceDrag)
#include "tst_distance_drag.moc"
