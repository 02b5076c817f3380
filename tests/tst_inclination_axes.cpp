// SPDX-License-Identifier: GPL-3.0-or-later
// The axes routine: the plane for the default and entered ranges, the ticks counted from
// the origin, and that counting for ranges far from the origin.
#include <QElapsedTimer>
#include <QLineF>
#include <cfloat>
#include <cmath>

#include "inclinationtest.h"
#include "tickcounter.h"

using namespace inclinationtest;

namespace {

bool hasLine(const QJsonArray& calls, const QLineF& line) {
    for (const QJsonValue call : callsOf(calls, "Line")) {
        if (single(call["x1"]) == float(line.x1()) && single(call["y1"]) == float(line.y1()) &&
            single(call["x2"]) == float(line.x2()) && single(call["y2"]) == float(line.y2()))
            return true;
    }
    return false;
}

QList<double> asSingles(QList<double> values) {
    for (double& value : values) value = double(float(value));
    return values;
}

}  // namespace

class TestInclinationAxes : public QObject {
    Q_OBJECT
private slots:
    void defaultPlane();
    void ticksCountedFromTheOrigin_data();
    void ticksCountedFromTheOrigin();
    void farRangesDrawPromptly_data();
    void farRangesDrawPromptly();
    void countingMatchesRepeatedAddition_data();
    void countingMatchesRepeatedAddition();
    void countingStopsWhereTheCounterStopsGrowing();
};

void TestInclinationAxes::defaultPlane() {
    replay::Session session("quillet");
    const QJsonArray calls = drawn(session);
    QCOMPARE(calls.first()["op"], "Cls");
    // The axes, then the arrowheads of x and of y.
    for (const QLineF& line :
         {QLineF(-10, 0, 9.5, 0), QLineF(0, -10, 0, 9.5), QLineF(10, 0, 9.5, 0.15),
          QLineF(10, 0, 9.5, -0.15), QLineF(9.5, -0.15, 9.5, 0.15), QLineF(0, 10, 0.1, 9.5),
          QLineF(0, 10, -0.1, 9.5), QLineF(-0.1, 9.5, 0.1, 9.5)})
        QVERIFY(hasLine(calls, line));
    QCOMPARE(ticks(calls, 'x', 0.2), counted(0, 9, 1) + counted(0, -10, -1));
    QCOMPARE(ticks(calls, 'y', 0.2), counted(0, 9, 1) + counted(0, -10, -1));
    for (const QJsonValue call : callsOf(calls, "Line")) QCOMPARE(call["color"], 0);

    const QJsonArray letters = callsOf(calls, "Print");
    QCOMPARE(letters.size(), 3);
    const QList<std::tuple<QString, float, float>> expected = {
        {"x", 9.5f, 0.f}, {"y", -0.5f, 10.f}, {"O", -0.5f, 0.f}};
    for (qsizetype i = 0; i < letters.size(); ++i) {
        QCOMPARE(letters[i]["text"].toString(), std::get<0>(expected[i]));
        QCOMPARE(single(letters[i]["x"]), std::get<1>(expected[i]));
        QCOMPARE(single(letters[i]["y"]), std::get<2>(expected[i]));
        QVERIFY(letters[i]["italic"].toBool());
    }

    // The plane is in the persistent image: the x axis shows at (5, 0).
    forms::Canvas& picture = canvas(session);
    const QPointF pixel =
        picture.scale().toPixels(5, 0) + QPointF(picture.widget().pos()) + QPointF(2, 2);
    const QImage image = session.render();
    int darkest = 255;
    for (int dy = -1; dy <= 1; ++dy)
        darkest = std::min(darkest, image.pixelColor(pixel.toPoint() + QPoint(0, dy)).lightness());
    QVERIFY(darkest < 128);
}

void TestInclinationAxes::ticksCountedFromTheOrigin_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("sy");
    QTest::addColumn<QList<double>>("xExpected");
    QTest::addColumn<QList<double>>("yExpected");
    const QList<double> defaultTicks = counted(0, 9, 1) + counted(0, -10, -1);
    QTest::newRow("x 0 to 20: the leftward loop draws the origin only")
        << QStringList{"20", "0", "10", "-10"} << 1.0 << 1.0 << counted(0, 19, 1) + QList{0.0}
        << defaultTicks;
    QTest::newRow("x 5 to 15: counted from 0, drawn from 5")
        << QStringList{"15", "5", "10", "-10"} << 0.5 << 1.0 << counted(5, 14.5, 0.5)
        << defaultTicks;
    QTest::newRow("panel 5, -5, 8, -2") << QStringList{"5", "-5", "8", "-2"} << 0.5 << 0.5
                                        << counted(0, 4.5, 0.5) + counted(0, -5, -0.5)
                                        << counted(0, 7.5, 0.5) + counted(0, -2, -0.5);
    QList<double> tenths;
    for (double i = 0; i <= 1002 - 0.1; i += 0.1)
        if (i >= 1000 - 0.01) tenths << i;
    QTest::newRow("x 1000 to 1002: ten thousand tenths added")
        << QStringList{"1002", "1000", "10", "-10"} << 0.1 << 1.0 << asSingles(tenths)
        << defaultTicks;
}

void TestInclinationAxes::ticksCountedFromTheOrigin() {
    QFETCH(QStringList, texts);
    QFETCH(double, sx);
    QFETCH(double, sy);
    replay::Session session("quillet");
    drawn(session);
    applyRanges(session, texts);
    const QJsonArray calls = drawn(session);
    QVERIFY(session.messages().empty());
    QTEST(ticks(calls, 'x', 0.2 * sy), "xExpected");
    QTEST(ticks(calls, 'y', 0.2 * sx), "yExpected");
}

void TestInclinationAxes::farRangesDrawPromptly_data() {
    QTest::addColumn<QStringList>("texts");
    // Counted one by one from the origin, these would take 2e8, 1e7 and 2e7 steps.
    QTest::newRow("x 1e9 to 1e9 + 100") << QStringList{"1000000100", "1000000000", "10", "-10"};
    QTest::newRow("y 1e16 to 1e16 + 2e10")
        << QStringList{"10", "-10", "10000020000000000", "10000000000000000"};
    QTest::newRow("x -1e12 - 1e6 to -1e12")
        << QStringList{"-1000000000000", "-1000001000000", "10", "-10"};
}

void TestInclinationAxes::farRangesDrawPromptly() {
    QFETCH(QStringList, texts);
    replay::Session session("quillet");
    drawn(session);
    QElapsedTimer clock;
    clock.start();
    applyRanges(session, texts);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed()) + " ms"));
    QVERIFY(session.messages().empty());

    const double xmin = texts[1].toDouble(), xmax = texts[0].toDouble();
    const double ymin = texts[3].toDouble(), ymax = texts[2].toDouble();
    const QJsonArray calls = drawn(session);
    const QList<double> x = ticks(calls, 'x', 0.2 * ((ymax - ymin) / 20));
    const QList<double> y = ticks(calls, 'y', 0.2 * ((xmax - xmin) / 20));
    QVERIFY(!x.isEmpty() && x.size() <= 22);
    QVERIFY(!y.isEmpty() && y.size() <= 22);
    for (const double at : x) QVERIFY(float(xmin) <= at && at <= float(xmax));
    for (const double at : y) QVERIFY(float(ymin) <= at && at <= float(ymax));
}

void TestInclinationAxes::countingMatchesRepeatedAddition_data() {
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("bound");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("tenths, a million steps out") << 0.1 << 1e5 + 2 << 1e5 << 1e5 + 2;
    QTest::newRow("thirds, three million steps out") << 1.0 / 3 << 1e6 + 7 << 1e6 << 1e6 + 7;
    // Steps that fall half-way between two doubles near 1.5, rounding up or down for good.
    const double oddTie = std::ldexp(0x1p29 + 1.5, -52), evenTie = std::ldexp(0x1p29 + 0.5, -52);
    QTest::newRow("tie, odd") << oddTie << 2.0 << 1.5 << 1.5 + 20 * oddTie;
    QTest::newRow("tie, even") << evenTie << 2.0 << 1.5 << 1.5 + 20 * evenTie;
    QTest::newRow("the bound cuts the range") << 1.0 << 5.5 << 3.0 << 10.0;
    QTest::newRow("range through the origin") << 1.0 << 10.0 << -1.0 << 3.0;
    QTest::newRow("range before the origin") << 1.0 << 10.0 << -5.0 << -1.0;
    QTest::newRow("step not positive") << 0.0 << 10.0 << 0.0 << 3.0;
}

void TestInclinationAxes::countingMatchesRepeatedAddition() {
    QFETCH(double, step);
    QFETCH(double, bound);
    QFETCH(double, from);
    QFETCH(double, to);
    std::vector<double> expected;
    for (double i = 0; step > 0 && i <= bound; i += step)
        if (from <= i && i <= to) expected.push_back(i);
    QCOMPARE(inclination::countedTicks(step, bound, from, to), expected);
}

void TestInclinationAxes::countingStopsWhereTheCounterStopsGrowing() {
    QElapsedTimer clock;
    clock.start();
    QVERIFY(inclination::countedTicks(1, 1e16 + 19, 1e16, 1e16 + 20).empty());
    const double edge = 0x1p53;
    QCOMPARE(inclination::countedTicks(1, edge + 8, edge - 2, edge + 8),
             (std::vector<double>{edge - 2, edge - 1, edge}));
    QVERIFY(inclination::countedTicks(DBL_TRUE_MIN, 1, 0.5, 1).empty());
    QVERIFY(clock.elapsed() < 1000);
}

QTEST_MAIN(TestInclinationAxes)
#include "tst_inclination_axes.moc"
