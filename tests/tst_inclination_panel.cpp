// SPDX-License-Identifier: GPL-3.0-or-later
// The window at start-up and the axis-range panel beyond its right edge: the captions of
// its rows, clearing, the checks of the entered ranges and the return of the defaults.
#include <QElapsedTimer>
#include <QWidget>
#include <limits>

#include "inclinationtest.h"

using namespace inclinationtest;

namespace {

const QStringList kDefaults{"10", "-10", "10", "-10"};
const char* const kBoxes[] = {"Text4", "Text5", "Text6", "Text7"};

QStringList boxTexts(replay::Session& session) {
    QStringList texts;
    for (const char* name : kBoxes) texts << QString::fromStdString(box(session, name).text());
    return texts;
}

QList<double> ranges(replay::Session& session) {
    QList<double> values;
    for (const char* name : {"rangeXMax", "rangeXMin", "rangeYMax", "rangeYMin"})
        values << lessontest::variable(session.form(), name);
    return values;
}

QList<double> scaleOf(replay::Session& session) {
    const forms::UserScale& scale = canvas(session).scale();
    return {scale.left(), scale.top(), scale.width(), scale.height()};
}

QStringList messageTexts(replay::Session& session) {
    QStringList texts;
    for (const forms::Message& message : session.messages()) {
        if (message.title != "警告" || message.icon != forms::MessageIcon::Exclamation)
            return {"wrong title or icon"};
        texts << QString::fromStdString(message.text);
    }
    return texts;
}

}  // namespace

class TestInclinationPanel : public QObject {
    Q_OBJECT
private slots:
    void startUp();
    void captionsNameTheRolesOfTheirBoxes();
    void wideningTheWindowShowsThePanel();
    void clearEmptiesTheBoxesOnly();
    void rangeChecks_data();
    void rangeChecks();
    void nextMoveRestoresTheDefaults();
};

void TestInclinationPanel::startUp() {
    replay::Session session("quillet");
    QWidget& window = session.form().window();
    QCOMPARE(window.windowTitle(), "Tavrelo与斜率");
    QCOMPARE(window.size(), QSize(417, 492));
    QCOMPARE(window.minimumSize(), QSize(417, 492));
    QVERIFY(window.maximumWidth() > 1000);
    QVERIFY(window.windowIcon().availableSizes().contains(QSize(16, 16)));
    QVERIFY(window.windowIcon().availableSizes().contains(QSize(32, 32)));
    QCOMPARE(boxTexts(session), kDefaults);
    QCOMPARE(ranges(session), (QList<double>{10, -10, 10, -10}));
    QVERIFY(label(session, "Label1").caption().empty());
    QVERIFY(label(session, "Label4").caption().empty());
    const auto& line = lessontest::control<forms::LineShape>(session.form(), "Line1");
    QCOMPARE(QLineF(line.x1(), line.y1(), line.x2(), line.y2()), QLineF(-3, -5, 7, 5));
    for (const char* name : kBoxes)
        QVERIFY2(box(session, name).widget().x() >= window.width(), name);
    for (const char* name : {"Command3", "Command4"}) {
        auto& button = lessontest::control<forms::Button>(session.form(), name);
        QVERIFY2(button.widget().x() >= window.width(), name);
    }
}

void TestInclinationPanel::captionsNameTheRolesOfTheirBoxes() {
    replay::Session session("quillet");
    const QStringList roles{"最大值：", "最小值：", "最大值：", "最小值："};
    for (int i = 0; i < 4; ++i) {
        const QRect boxRect = box(session, kBoxes[i]).widget().geometry();
        QStringList beside;
        for (const char* name : {"Label7", "Label8", "Label9", "Label10"}) {
            forms::Label& row = label(session, name);
            const double top = row.top() / 15, bottom = (row.top() + row.height()) / 15;
            if (row.left() / 15.0 < boxRect.left() && top < boxRect.center().y() &&
                boxRect.center().y() < bottom)
                beside << QString::fromStdString(row.caption());
        }
        QCOMPARE(beside, QStringList{roles[i]});
    }
}

void TestInclinationPanel::wideningTheWindowShowsThePanel() {
    replay::Session session("quillet");
    QWidget& window = session.form().window();
    const QPoint canvasAt = canvas(session).widget().pos();
    window.resize(12500 / 15, window.height());
    const QImage image = window.grab().toImage();
    QCOMPARE(image.pixelColor(9200 / 15, 5000 / 15), QColor(0xCC, 0xE6, 0xFF));
    QVERIFY(window.rect().contains(box(session, "Text7").widget().geometry()));
    QCOMPARE(canvas(session).widget().pos(), canvasAt);
}

void TestInclinationPanel::clearEmptiesTheBoxesOnly() {
    replay::Session session("quillet");
    lessontest::run(session, "move 3 1");
    drawn(session);
    const QImage before = session.render();
    lessontest::run(session, "click Command3");
    QCOMPARE(boxTexts(session), QStringList(4, ""));
    QCOMPARE(ranges(session), (QList<double>{10, -10, 10, -10}));
    QVERIFY(drawn(session).isEmpty());
    QCOMPARE(session.render(), before);

    lessontest::run(session, "click Command4");
    QCOMPARE(messageTexts(session), QStringList{"数据输入有误！"});
    QCOMPARE(ranges(session), (QList<double>{0, 0, 0, 0}));
    const QJsonArray calls = drawn(session);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0]["op"], "Cls");
    QCOMPARE(label(session, "Label1").caption(), std::string("45°"));
}

void TestInclinationPanel::rangeChecks_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<double>>("read");
    QTest::addColumn<QStringList>("messages");
    const double inf = std::numeric_limits<double>::infinity();
    const QStringList none, wrong{"数据输入有误！"}, incomplete{"请输入完整的数据！"};
    QTest::newRow("5, -5, 8, -2") << QStringList{"5", "-5", "8", "-2"}
                                  << QList<double>{5, -5, 8, -2} << none;
    QTest::newRow("x ends equal") << QStringList{"10", "10", "10", "-10"}
                                  << QList<double>{10, 10, 10, -10} << wrong;
    QTest::newRow("y reversed") << QStringList{"10", "-10", "-10", "10"}
                                << QList<double>{10, -10, -10, 10} << wrong;
    QTest::newRow("both reversed, one message")
        << QStringList{"-1", "1", "-1", "1"} << QList<double>{-1, 1, -1, 1} << wrong;
    QTest::newRow("leading numbers") << QStringList{"3abc", " -2.5e1x", "zz", "\x01\x02 5"}
                                     << QList<double>{3, -25, 0, 0} << wrong;
    QTest::newRow("letters count as 0")
        << QStringList{"3abc", "-2x", "4", "abc"} << QList<double>{3, -2, 4, 0} << none;
    QTest::newRow("beyond the double range") << QStringList{"1e999", "-10", "10", "-10"}
                                             << QList<double>{inf, -10, 10, -10} << incomplete;
    QTest::newRow("infinities reversed") << QStringList{"-1e999", "1e999", "10", "-10"}
                                         << QList<double>{-inf, inf, 10, -10} << wrong;
    QTest::newRow("beyond the single range") << QStringList{"10", "-10", "1e39", "-10"}
                                             << QList<double>{10, -10, 1e39, -10} << incomplete;
    QTest::newRow("a thousand digits") << QStringList{QString(1000, '9'), "-10", "10", "-10"}
                                       << QList<double>{inf, -10, 10, -10} << incomplete;
    QTest::newRow("a megabyte of digits") << QStringList{"10", QString(1 << 20, '1'), "10", "-10"}
                                          << QList<double>{10, inf, 10, -10} << wrong;
    QTest::newRow("ends the canvas cannot tell apart")
        << QStringList{"10000000000000020", "10000000000000000", "10", "-10"}
        << QList<double>{1e16 + 20, 1e16, 10, -10} << incomplete;
}

void TestInclinationPanel::rangeChecks() {
    QFETCH(QStringList, texts);
    QFETCH(QStringList, messages);
    replay::Session session("quillet");
    lessontest::run(session, "move 3 1");
    drawn(session);
    QElapsedTimer clock;
    clock.start();
    applyRanges(session, texts);
    QVERIFY(clock.elapsed() < 1000);
    QTEST(ranges(session), "read");
    QCOMPARE(messageTexts(session), messages);
    // A refused range leaves the canvas blank; an accepted one shows its axes.
    const QJsonArray calls = drawn(session);
    QCOMPARE(calls.size() == 1, !messages.isEmpty());
    QCOMPARE(calls[0]["op"], "Cls");
    QCOMPARE(lessontest::control<forms::LineShape>(session.form(), "Line1").isVisible(), true);
}

void TestInclinationPanel::nextMoveRestoresTheDefaults() {
    replay::Session session("quillet");
    applyRanges(session, {"5", "-5", "8", "-2"});
    QCOMPARE(scaleOf(session), (QList<double>{-5, 8, 10, -10}));
    lessontest::run(session, "move 3 1");
    QCOMPARE(boxTexts(session), kDefaults);
    QCOMPARE(ranges(session), (QList<double>{10, -10, 10, -10}));
    QCOMPARE(scaleOf(session), (QList<double>{-10, 10, 20, -20}));
    QCOMPARE(label(session, "Label1").caption(), std::string("45°"));
}

QTEST_MAIN(TestInclinationPanel)
#include "tst_inclination_panel.moc"
