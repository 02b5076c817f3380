// SPDX-License-Identifier: GPL-3.0-or-later
// The graphic demonstration of the distance lesson: 100 timer steps that grow the four
// dotted projections, and how presses, drags and second clicks fall between the steps.
#include <QTest>
#include <cfloat>
#include <cmath>

#include "distancetest.h"
#include "fonts.h"
#include "statejson.h"

using namespace distancetest;

namespace {

constexpr int kStepMs = 16;

const char* const kDottedLines[] = {"Quillet", "Line3", "Line4", "Line5"};

void steps(replay::Session& session, int count) {
    session.clock().advance(count * kStepMs);
}

int stepCount(replay::Session& session) {
    return int(lessontest::variable(session.form(), "stepCount"));
}

bool demonstrationRunning(replay::Session& session) {
    return lessontest::control<forms::Timer>(session.form(), "Timer2").isEnabled();
}

QString exact(float value) {
    return QString::fromStdString(replay::jsonNumber(value));
}

void clickDemonstration(replay::Session& session) {
    lessontest::run(session, "click Command1");
}

bool formulaShown(replay::Session& session) {
    for (const char* name : {"Image1", "Image4", "Label4", "Label5", "Label6", "Label7", "Label8",
                             "Label9", "Label10"}) {
        if (!isVisible(session, name)) return false;
    }
    return true;
}

// Within the error of a hundred single-precision additions.
bool nearly(double actual, double expected) {
    return std::abs(actual - expected) <= 1e-5 * std::max(1.0, std::abs(expected));
}

bool nearly(QLineF actual, QLineF expected) {
    return nearly(actual.x1(), expected.x1()) && nearly(actual.y1(), expected.y1()) &&
           nearly(actual.x2(), expected.x2()) && nearly(actual.y2(), expected.y2());
}

#define COMPARE_LINE(session, name, expected)                                                \
    QVERIFY2(nearly(ends(session, name), expected),                                          \
             qPrintable(QString(name) + " is " + lessontest::lineText(ends(session, name)) + \
                        ", expected " + lessontest::lineText(expected)))

QLineF fullProjection(const char* name, QPointF a, QPointF b) {
    const std::string_view line(name);
    if (line == "Quillet") return {0, a.y(), b.x(), a.y()};
    if (line == "Line3") return {b.x(), 0, b.x(), b.y()};
    if (line == "Line4") return {a.x(), a.y(), a.x(), 0};
    return {b.x(), b.y(), 0, b.y()};
}

}  // namespace

class TestDistanceDemo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { forms::installFontMapping(); }

    void hundredSteps_data() {
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<QPointF>("b");
        QTest::newRow("start segment") << QPointF(1, 1) << QPointF(4, 5);
        QTest::newRow("negative coordinates") << QPointF(-1.5, 2.5) << QPointF(7.25, -2.25);
        QTest::newRow("fractions") << QPointF(0.3f, 0.7f) << QPointF(12.1f, 7.9f);
        QTest::newRow("B on the y axis") << QPointF(1, 1) << QPointF(0, 5);
        QTest::newRow("A on the x axis") << QPointF(2, 0) << QPointF(4, 5);
        QTest::newRow("B on the x axis") << QPointF(1, 1) << QPointF(4, 0);
        QTest::newRow("A at the origin") << QPointF(0, 0) << QPointF(3, 2);
    }
    void hundredSteps() {
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        const auto session = startedLesson();
        placePoints(*session, a, b);

        clickDemonstration(*session);
        QCOMPARE(ends(*session, "Quillet"), QLineF(0, a.y(), 0, a.y()));
        QCOMPARE(ends(*session, "Line3"), QLineF(b.x(), 0, b.x(), 0));
        QCOMPARE(ends(*session, "Line4"), QLineF(a.x(), a.y(), a.x(), a.y()));
        QCOMPARE(ends(*session, "Line5"), QLineF(b.x(), b.y(), b.x(), b.y()));
        for (const char* name : kDottedLines) QVERIFY(!isVisible(*session, name));

        steps(*session, 1);
        QCOMPARE(stepCount(*session), 1);
        for (const char* name : kDottedLines) QVERIFY(isVisible(*session, name));
        QCOMPARE(label(*session, "Label3").left(), float(b.x()));
        QCOMPARE(label(*session, "Label3").top(), float(a.y()));

        steps(*session, 98);
        QCOMPARE(stepCount(*session), 99);
        QVERIFY(demonstrationRunning(*session));
        QVERIFY(!isVisible(*session, "Label3"));
        QVERIFY(!formulaShown(*session));

        steps(*session, 1);
        QCOMPARE(stepCount(*session), 0);
        QVERIFY(!demonstrationRunning(*session));
        QVERIFY(isVisible(*session, "Label3"));
        QCOMPARE(caption(*session, "Label3"), "O(4,1)");
        QVERIFY(formulaShown(*session));
        for (const char* name : kDottedLines) {
            const QLineF full = fullProjection(name, a, b);
            COMPARE_LINE(*session, name, full);
            // A point on an axis leaves its line a point: zero steps add nothing.
            if (full.length() == 0) QCOMPARE(ends(*session, name), full);
        }
        // The segment itself never moves.
        QCOMPARE(pointA(*session), a);
        QCOMPARE(pointB(*session), b);

        const QLineF quilletAtEnd = ends(*session, "Quillet");
        steps(*session, 10);
        QCOMPARE(ends(*session, "Quillet"), quilletAtEnd);
    }

    // The ends after a run from the start segment carry the rounding of a hundred steps:
    // single-precision steps for three lines, a double-precision step for Line5.
    void roundingOfTheSteps() {
        const auto session = startedLesson();
        clickDemonstration(*session);
        steps(*session, 100);

        QCOMPARE(exact(line(*session, "Quillet").x2()), "3.9999974");
        QCOMPARE(exact(line(*session, "Line3").y2()), "5.000001");
        QCOMPARE(exact(line(*session, "Line4").y2()), "6.7055225e-07");
        QCOMPARE(exact(line(*session, "Line5").x2()), "2.6366115e-06");
    }

    void secondClickKeepsTheCount() {
        const auto session = startedLesson();
        clickDemonstration(*session);
        steps(*session, 50);

        clickDemonstration(*session);
        QCOMPARE(stepCount(*session), 50);
        QCOMPARE(ends(*session, "Quillet"), QLineF(0, 1, 0, 1));
        steps(*session, 49);
        QVERIFY(demonstrationRunning(*session));
        steps(*session, 1);

        QVERIFY(!demonstrationRunning(*session));
        QCOMPARE(stepCount(*session), 0);
        COMPARE_LINE(*session, "Quillet", QLineF(0, 1, 2, 1));
        COMPARE_LINE(*session, "Line3", QLineF(4, 0, 4, 2.5));
        COMPARE_LINE(*session, "Line4", QLineF(1, 1, 1, 0.5));
        COMPARE_LINE(*session, "Line5", QLineF(4, 5, 2, 5));

        // A click after the end starts a whole run again.
        clickDemonstration(*session);
        steps(*session, 100);
        QVERIFY(!demonstrationRunning(*session));
        for (const char* name : kDottedLines)
            COMPARE_LINE(*session, name, fullProjection(name, {1, 1}, {4, 5}));
    }

    // The press sets the full projections at once, and the remaining 60 steps go on from
    // there. Pressing on A moves A onto itself, which turns Line3 to run from B down.
    void pressDuringRun() {
        const auto session = startedLesson();
        clickDemonstration(*session);
        steps(*session, 40);

        press(*session, {1, 1});
        QVERIFY(isVisible(*session, "Label3"));
        QCOMPARE(ends(*session, "Quillet"), QLineF(0, 1, 4, 1));
        QCOMPARE(ends(*session, "Line3"), QLineF(4, 5, 4, 0));
        QCOMPARE(ends(*session, "Line4"), QLineF(1, 1, 1, 0));
        QCOMPARE(ends(*session, "Line5"), QLineF(4, 5, 0, 5));
        steps(*session, 60);

        QVERIFY(!demonstrationRunning(*session));
        COMPARE_LINE(*session, "Quillet", QLineF(0, 1, 6.4, 1));
        COMPARE_LINE(*session, "Line3", QLineF(4, 5, 4, 3));
        COMPARE_LINE(*session, "Line4", QLineF(1, 1, 1, -0.6));
        COMPARE_LINE(*session, "Line5", QLineF(4, 5, -2.4, 5));
        QVERIFY(formulaShown(*session));
    }

    // Dragging B to (8,2) after 30 steps: the next steps grow by 8/100 and 2/100.
    void dragDuringRun() {
        const auto session = startedLesson();
        clickDemonstration(*session);
        steps(*session, 30);

        move(*session, {8, 2});
        QCOMPARE(ends(*session, "Quillet"), QLineF(0, 1, 8, 1));
        QCOMPARE(ends(*session, "Line3"), QLineF(8, 2, 8, 0));
        QCOMPARE(ends(*session, "Line5"), QLineF(8, 2, 0, 2));
        const float line4End = line(*session, "Line4").y2();

        steps(*session, 1);
        QCOMPARE(line(*session, "Quillet").x2(), 8 + 8.0f / 100);
        QCOMPARE(line(*session, "Line3").y2(), 2.0f / 100);
        QCOMPARE(line(*session, "Line4").y2(), line4End - 1.0f / 100);
        QCOMPARE(line(*session, "Line5").x2(), float(0 - 8.0 / 100));

        steps(*session, 69);
        QVERIFY(!demonstrationRunning(*session));
        COMPARE_LINE(*session, "Quillet", QLineF(0, 1, 13.6, 1));
        COMPARE_LINE(*session, "Line3", QLineF(8, 2, 8, 1.4));
        COMPARE_LINE(*session, "Line4", QLineF(1, 1, 1, 0));
        COMPARE_LINE(*session, "Line5", QLineF(8, 2, -5.6, 2));
        QCOMPARE(label(*session, "Label3").left(), 8.0f);
        QCOMPARE(label(*session, "Label3").top(), 1.0f);
        QCOMPARE(caption(*session, "Label3"), "O(8,1)");
        QVERIFY(isVisible(*session, "Label3"));
    }

    // Near the end of the single range the steps would carry a line end past the largest
    // single; it stays at the largest value instead of becoming infinite.
    void pointAtTheEndOfTheSingleRange() {
        const auto session = startedLesson();
        const float far = 0.9f * FLT_MAX;
        placePoints(*session, {2, 3}, {far, far});
        clickDemonstration(*session);
        steps(*session, 10);
        press(*session, {2, 3});
        steps(*session, 90);

        QVERIFY(!demonstrationRunning(*session));
        QCOMPARE(line(*session, "Quillet").x2(), FLT_MAX);
        for (const char* name : kDottedLines) {
            const QLineF shape = ends(*session, name);
            QVERIFY(std::isfinite(shape.x2()) && std::isfinite(shape.y2()));
        }
        QVERIFY(!session->render().isNull());
    }
};

QTEST_MAIN(TestDistanceDemo)
#include "tst_distance_demo.moc"
