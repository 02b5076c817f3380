// SPDX-License-Identifier: GPL-3.0-or-later
// The inclination lesson: the window and its axis-range panel, the axes with their ticks
// counted from the origin, also far from it, and the line that follows the
// pointer with its arc and readouts.
#include <QApplication>
#include <cfloat>
#include <cmath>
#include <limits>
#include <numbers>

#include "lessontest.h"
#include "tickcounter.h"

using namespace forms;
using namespace lessontest;

namespace {

const char* const kBoxes[] = {"Text4", "Text5", "Text6", "Text7"};
const QList<double> kDefaultRanges{10, -10, 10, -10};

// Types the four ranges into the panel, Text4 to Text7, and presses "确定".
void applyRanges(Session& s, const QStringList& texts) {
    for (int i = 0; i < 4; ++i) control<TextBox>(s, kBoxes[i]).setText(texts[i].toStdString());
    run(s, "click Command4");
}

QStringList boxTexts(Session& s) {
    QStringList texts;
    for (const char* name : kBoxes)
        texts << QString::fromStdString(control<TextBox>(s, name).text());
    return texts;
}

QList<double> ranges(Session& s) {
    QList<double> values;
    for (const char* name : {"rangeXMax", "rangeXMin", "rangeYMax", "rangeYMin"})
        values << variable(s, name);
    return values;
}

QStringList warnings(Session& s) {
    QStringList texts;
    for (const Message& message : s.messages()) {
        if (message.title != "警告" || message.icon != MessageIcon::Exclamation)
            return {"wrong title or icon"};
        texts << QString::fromStdString(message.text);
    }
    return texts;
}

// The places of the tick marks along the x or y axis, in drawing order: each stands on
// its axis and reaches the given length across it.
QList<double> ticks(const QJsonArray& lines, char axis, double length) {
    const QString along = axis == 'x' ? "x" : "y", across = axis == 'x' ? "y" : "x";
    QList<double> found;
    for (const QJsonValue call : lines) {
        if (call[along + "1"] == call[along + "2"] && call[across + "1"].toDouble() == 0 &&
            float(call[across + "2"].toDouble()) == float(length))
            found << float(call[along + "1"].toDouble());
    }
    return found;
}

// The values from first towards last by repeated addition of the step, as singles.
QList<double> counted(double first, double last, double step) {
    QList<double> values;
    for (double value = first; step > 0 ? value <= last : value >= last; value += step)
        values << float(value);
    return values;
}

}  // namespace

class TestInclination : public QObject {
    Q_OBJECT
private slots:
    void startUp() {
        Session session("quillet");
        QWidget& window = session.form().window();
        QCOMPARE(window.windowTitle(), "Tavrelo与斜率");
        QCOMPARE(window.minimumSize(), QSize(417, 492));
        QVERIFY(window.maximumWidth() > 1000);
        QVERIFY(window.windowIcon().availableSizes().contains(QSize(16, 16)));
        QCOMPARE(boxTexts(session), QStringList({"10", "-10", "10", "-10"}));
        QCOMPARE(ranges(session), kDefaultRanges);
        QCOMPARE(ends(session, "Line1"), QLineF(-3, -5, 7, 5));
        for (const char* name : {"Text4", "Text7", "Command3", "Command4"}) {
            QVERIFY2(session.form().window().findChild<QWidget*>(name)->x() >= window.width(),
                     name);
        }
        const QJsonArray lines = drawn(session, "Line");
        QCOMPARE(ticks(lines, 'x', 0.2), counted(0, 9, 1) + counted(0, -10, -1));
        QCOMPARE(ticks(lines, 'y', 0.2), counted(0, 9, 1) + counted(0, -10, -1));
        // The plane is in the persistent image: the x axis shows at (5, 0).
        const QImage image = session.render();
        const QPoint axis = windowPixel(session, 5, 0).toPoint();
        QVERIFY(std::min({image.pixelColor(axis + QPoint(0, -1)).lightness(),
                          image.pixelColor(axis).lightness(),
                          image.pixelColor(axis + QPoint(0, 1)).lightness()}) < 128);
    }

    void ticksCountedFromTheOrigin_data() {
        lessontest::columns<QStringList, QList<double>, QList<double>>(
            {"texts", "xTicks", "yTicks"});
        const QList<double> defaultTicks = counted(0, 9, 1) + counted(0, -10, -1);
        QTest::newRow("x 0 to 20: the leftward loop draws the origin only")
            << QStringList{"20", "0", "10", "-10"} << counted(0, 19, 1) + QList{0.0}
            << defaultTicks;
        QTest::newRow("panel 5, -5, 8, -2")
            << QStringList{"5", "-5", "8", "-2"} << counted(0, 4.5, 0.5) + counted(0, -5, -0.5)
            << counted(0, 7.5, 0.5) + counted(0, -2, -0.5);
        QList<double> tenths;
        for (double i = 0; i <= 1002 - 0.1; i += 0.1)
            if (i >= 1000 - 0.01) tenths << float(i);
        // Counted one by one from the origin: twenty million steps; only the canvas's ticks drawn.
        QTest::newRow("x 1000000031 to 1000001031: the canvas's edge at 1e9 has its tick")
            << QStringList{"1000001031", "1000000031", "10", "-10"} << counted(1e9, 1000000950, 50)
            << defaultTicks;
        QTest::newRow("x 1000 to 1002: ten thousand tenths added")
            << QStringList{"1002", "1000", "10", "-10"} << tenths << defaultTicks;
    }
    void ticksCountedFromTheOrigin() {
        QFETCH(QStringList, texts);
        Session session("quillet");
        drawn(session);
        applyRanges(session, texts);
        QVERIFY(session.messages().empty());
        const double sx = (texts[0].toDouble() - texts[1].toDouble()) / 20;
        const double sy = (texts[2].toDouble() - texts[3].toDouble()) / 20;
        const QJsonArray lines = drawn(session, "Line");
        QTEST(ticks(lines, 'x', 0.2 * sy), "xTicks");
        QTEST(ticks(lines, 'y', 0.2 * sx), "yTicks");
    }

    void countingMatchesRepeatedAddition_data() {
        lessontest::columns<double, double, double, double>({"step", "bound", "from", "to"});
        QTest::newRow("tenths, a million steps out") << 0.1 << 1e5 + 2 << 1e5 << 1e5 + 2;
        // Steps half-way between two doubles near 1.5, rounding up or down for good.
        const double oddTie = std::ldexp(0x1p29 + 1.5, -52),
                     evenTie = std::ldexp(0x1p29 + 0.5, -52);
        QTest::newRow("tie, odd") << oddTie << 2.0 << 1.5 << 1.5 + 20 * oddTie;
        QTest::newRow("tie, even") << evenTie << 2.0 << 1.5 << 1.5 + 20 * evenTie;
        QTest::newRow("the bound cuts the range") << 1.0 << 5.5 << 3.0 << 10.0;
        QTest::newRow("step not positive") << 0.0 << 10.0 << 0.0 << 3.0;
    }
    void countingMatchesRepeatedAddition() {
        QFETCH(double, step);
        QFETCH(double, bound);
        QFETCH(double, from);
        QFETCH(double, to);
        std::vector<double> expected;
        for (double i = 0; step > 0 && i <= bound; i += step)
            if (from <= i && i <= to) expected.push_back(i);
        QCOMPARE(inclination::countedTicks(step, bound, from, to), expected);
        // Where the counter stops growing, the counting stops too.
        QVERIFY(inclination::countedTicks(1, 1e16 + 19, 1e16, 1e16 + 20).empty());
        QCOMPARE(inclination::countedTicks(1, 0x1p53 + 8, 0x1p53 - 2, 0x1p53 + 8),
                 (std::vector<double>{0x1p53 - 2, 0x1p53 - 1, 0x1p53}));
    }

    void rangeChecks_data() {
        lessontest::columns<QStringList, QList<double>, QStringList>({"texts", "read", "messages"});
        const double inf = std::numeric_limits<double>::infinity();
        const QStringList none, wrong{"数据输入有误！"}, incomplete{"请输入完整的数据！"};
        QTest::newRow("5, -5, 8, -2")
            << QStringList{"5", "-5", "8", "-2"} << QList<double>{5, -5, 8, -2} << none;
        QTest::newRow("equal x ends")
            << QStringList{"5", "5", "8", "-2"} << QList<double>{5, 5, 8, -2} << wrong;
        QTest::newRow("both reversed, one message")
            << QStringList{"-1", "1", "-1", "1"} << QList<double>{-1, 1, -1, 1} << wrong;
        QTest::newRow("leading numbers") << QStringList{"3abc", " -2.5e1x", "zz", "\x01\x02 5"}
                                         << QList<double>{3, -25, 0, 0} << wrong;
        QTest::newRow("full-width forms") << QStringList{"１０", "　－１０", "1０．5", "－1ｅ1"}
                                          << QList<double>{10, -10, 10.5, -10} << none;
        QTest::newRow("beyond the double range") << QStringList{"1e999", "-10", "10", "-10"}
                                                 << QList<double>{inf, -10, 10, -10} << incomplete;
        QTest::newRow("beyond the single range") << QStringList{"10", "-10", "1e39", "-10"}
                                                 << QList<double>{10, -10, 1e39, -10} << incomplete;
        QTest::newRow("a single corner beyond the single range")
            << QStringList{"1e39", "0", "10", "-10"} << QList<double>{1e39, 0, 10, -10}
            << incomplete;
        QTest::newRow("ends the canvas cannot tell apart")
            << QStringList{"10000000000000020", "10000000000000000", "10", "-10"}
            << QList<double>{1e16 + 20, 1e16, 10, -10} << incomplete;
    }
    void rangeChecks() {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, messages);
        Session session("quillet");
        run(session, "move 3 1");
        drawn(session);
        applyRanges(session, texts);
        QTEST(ranges(session), "read");
        QCOMPARE(warnings(session), messages);
        // A refused range leaves the canvas blank; an accepted one shows its axes.
        const QJsonArray calls = drawn(session);
        QCOMPARE(calls.size() == 1, !messages.isEmpty());
        QCOMPARE(calls[0]["op"], "Cls");
    }

    // Enter in a range box presses 确定, as a form's default button; on a button it presses
    // that button.
    void enterInTheRangePanel_data() {
        lessontest::columns<QString, QString, QStringList, QStringList, double>(
            {"focus", "key", "boxes", "messages", "left"});
        const QStringList typed{"5", "-5", "8", "-2"};
        QTest::newRow("Return in a box applies") << "Text5"
                                                 << "Return" << typed << QStringList() << -5.0;
        QTest::newRow("keypad Enter in a box applies")
            << "Text7"
            << "Num+Enter" << typed << QStringList() << -5.0;
        QTest::newRow("Return on 确定") << "Command4"
                                        << "Return" << typed << QStringList() << -5.0;
        QTest::newRow("Return on 清除数据 clears, applies nothing")
            << "Command3"
            << "Return" << QStringList(4, "") << QStringList() << -10.0;
    }
    void enterInTheRangePanel() {
        QFETCH(QString, focus);
        QFETCH(QString, key);
        Session session("quillet");
        QWidget& window = session.form().window();
        window.resize(780, window.height());
        QApplication::processEvents();
        for (int i = 0; i < 4; ++i)
            control<TextBox>(session, kBoxes[i])
                .setText(QStringList{"5", "-5", "8", "-2"}[i].toStdString());
        session.form().window().findChild<QWidget*>(focus)->setFocus();
        run(session, "key " + key.toStdString());
        QTEST(boxTexts(session), "boxes");
        QTEST(warnings(session), "messages");
        QTEST(canvas(session).scale().left(), "left");
    }

    // A round trip through any range leaves the line where it was, ends and pixels.
    void lineKeepsItsPlaceThroughAnyRange_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("x tiny") << QStringList{"2e-45", "0", "10", "-10"};
        QTest::newRow("y tiny") << QStringList{"10", "-10", "1e-40", "0"};
        QTest::newRow("huge") << QStringList{"1e38", "-1e38", "1e38", "-1e38"};
        QTest::newRow("x far from the origin") << QStringList{"1000001", "1000000", "10", "-10"};
        QTest::newRow("negative, far and tiny")
            << QStringList{"-1e29", "-1e30", "-1e-44", "-3e-44"};
    }
    void lineKeepsItsPlaceThroughAnyRange() {
        QFETCH(QStringList, texts);
        Session session("quillet");
        run(session, "move 5 3");
        const QStringList defaults{"10", "-10", "10", "-10"};
        applyRanges(session, defaults);
        const QLineF before = ends(session, "Line1");
        const QImage picture = session.render();
        applyRanges(session, texts);
        QVERIFY(session.messages().empty());
        applyRanges(session, defaults);
        QCOMPARE(ends(session, "Line1"), before);
        QCOMPARE(session.render(), picture);
    }

    void clearAndTheNextMove() {
        Session session("quillet");
        run(session, "move 3 1");
        drawn(session);
        const QImage before = session.render();
        run(session, "click Command3");
        QCOMPARE(boxTexts(session), QStringList(4, ""));
        QVERIFY(drawn(session).isEmpty());
        QCOMPARE(session.render(), before);
        run(session, "click Command4");
        QCOMPARE(warnings(session), QStringList{"数据输入有误！"});
        QCOMPARE(ranges(session), (QList<double>{0, 0, 0, 0}));
        // The next move puts the defaults back.
        applyRanges(session, {"5", "-5", "8", "-2"});
        QCOMPARE(canvas(session).scale().left(), -5.0);
        run(session, "move 3 1");
        QCOMPARE(ranges(session), kDefaultRanges);
        QCOMPARE(canvas(session).scale().left(), -10.0);
        QCOMPARE(caption(session, "Label1"), "45°");
    }

    void pointer_data() {
        lessontest::columns<QPointF, double, QString, QString, int, QLineF>(
            {"pointer", "angle", "degrees", "slope", "arcPoints", "line"});
        const QLineF rising(-3, -5, 7, 5), falling(7, -5, -3, 5);
        const double h = std::sqrt(50.0);
        QTest::newRow("(-1, -3), below the axis") << QPointF(-1, -3) << 0.785398 << "45°"
                                                  << "1" << 16 << rising;
        QTest::newRow("(2.5, 10)") << QPointF(2.5, 10) << 1.5208379 << "87.14°"
                                   << "20" << 31 << QLineF(1.6469, -7.0622, 2.3531, 7.0622);
        QTest::newRow("(2.001, 5), within the band")
            << QPointF(2.001f, 5) << 1.5705963 << "90°"
            << "不存在" << 32 << QLineF(1.9986, -h, 2.0014, h);
        QTest::newRow("(2, 0), the pivot") << QPointF(2, 0) << std::numbers::pi / 2 << "90°"
                                           << "不存在" << 32 << QLineF(2, -h, 2, h);
        // A level line has the inclination 0 and no arc; a line falling so slightly that
        // its angle would read 180° reads 0° with it.
        const QLineF level(2 - h, 0, 2 + h, 0);
        QTest::newRow("(6, 0), level with the pivot") << QPointF(6, 0) << 0.0 << "0°"
                                                      << "0" << 0 << level;
        QTest::newRow("(-5, 0), level left of the pivot") << QPointF(-5, 0) << 0.0 << "0°"
                                                          << "0" << 0 << level;
        QTest::newRow("(6, 1e-6), a hair above") << QPointF(6, 1e-6) << 2.5e-7 << "0°"
                                                 << "0" << 1 << level;
        QTest::newRow("(6, -1e-6), a hair below") << QPointF(6, -1e-6) << 0.0 << "0°"
                                                  << "0" << 0 << level;
        // Falling by 0.01 over 4: 180° less atan 0.0025, which is 0.14324°.
        const double dy = h * 0.01 / std::hypot(4.0, 0.01);
        QTest::newRow("(6, -0.01), a little below")
            << QPointF(6, -0.01) << 3.14159 - std::atan(0.0025) << "179.86°"
            << "0" << 63 << QLineF(2 + h, -dy, 2 - h, dy);
    }
    void pointer() {
        QFETCH(QPointF, pointer);
        QFETCH(double, angle);
        QFETCH(int, arcPoints);
        QFETCH(QLineF, line);
        Session session("quillet");
        drawn(session);
        move(session, pointer, 0);
        QVERIFY(std::abs(variable(session, "lineAngle") - angle) < 1e-6);
        QTEST(caption(session, "Label1"), "degrees");
        QTEST(caption(session, "Label4"), "slope");
        QVERIFY2(nearly(ends(session, "Line1"), line, 1e-3),
                 qPrintable(lineText(ends(session, "Line1"))));
        const QJsonArray arc = drawn(session, "PSet");
        QCOMPARE(arc.size(), qsizetype(arcPoints));
        for (qsizetype k = 0; k < arc.size(); ++k) {
            QCOMPARE(arc[k]["color"], 255);
            QVERIFY(std::abs(arc[k]["x"].toDouble() - (2 + std::cos(0.05 * double(k)))) < 1e-6);
        }
    }

    // The keyboard's pointer stepped down onto the level row, by whole steps and by tenths.
    void levelByKeys_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("steps");
        QTest::newRow("Down") << "Down" << 4;
        QTest::newRow("Shift+Down") << "Shift+Down" << 20;
    }
    void levelByKeys() {
        QFETCH(QString, key);
        QFETCH(int, steps);
        Session session("quillet");
        for (int i = 1; i < steps; ++i) run(session, "key " + key.toStdString());
        QVERIFY(variable(session, "lineAngle") > 0);
        drawn(session);
        run(session, "key " + key.toStdString());
        QCOMPARE(variable(session, "lineAngle"), 0.0);
        QCOMPARE(caption(session, "Label1"), "0°");
        QCOMPARE(caption(session, "Label4"), "0");
        QVERIFY(drawn(session, "PSet").isEmpty());
        QVERIFY(!redPixelsNear(session, session.render(), 2, 1, 2));
    }

    // Buttons change nothing, and each move redraws from a clean canvas: the half
    // circle of a nearly level falling line is gone after the next move, through a real
    // mouse event.
    void eachMoveStartsAfresh() {
        Session held("quillet"), free("quillet");
        run(held, "move -6 0.1 1");
        QVERIFY(redPixelsNear(held, held.render(), 2, 1, 1));
        run(held, "move 3 1 1");
        const QPoint pixel = (canvas(free).scale().toPixels(3, 1) + QPointF(2, 2)).toPoint();
        QTest::mouseMove(&canvas(free).widget(), pixel);
        QVERIFY(std::abs(variable(free, "lineAngle") - std::numbers::pi / 4) < 0.01);
        run(free, "move 3 1");
        const QImage image = held.render();
        QVERIFY(!redPixelsNear(held, image, 2, 1, 1));
        QVERIFY(redPixelsNear(held, image, 2 + std::cos(0.4), std::sin(0.4), 1));
        QCOMPARE(image, free.render());
    }
};

QTEST_MAIN(TestInclination)
#include "tst_inclination.moc"
