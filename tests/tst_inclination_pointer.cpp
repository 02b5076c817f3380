// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse tracking: the line through the pivot and the pointer, its arc and the readouts,
// for the cases a pupil meets, and a movement through real mouse events.
#include <QLineF>
#include <cmath>
#include <numbers>

#include "inclinationtest.h"
#include "numbertext.h"

using namespace inclinationtest;

namespace {

forms::LineShape& line1(replay::Session& session) {
    return lessontest::control<forms::LineShape>(session.form(), "Line1");
}

QPoint windowPixel(replay::Session& session, double x, double y) {
    forms::Canvas& picture = canvas(session);
    return (picture.scale().toPixels(x, y) + QPointF(picture.widget().pos()) + QPointF(2, 2))
        .toPoint();
}

bool redNear(const QImage& image, QPoint centre) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QColor colour = image.pixelColor(centre + QPoint(dx, dy));
            if (colour.red() > 200 && colour.green() < 90 && colour.blue() < 90) return true;
        }
    }
    return false;
}

}  // namespace

class TestInclinationPointer : public QObject {
    Q_OBJECT
private slots:
    void pointer_data();
    void pointer();
    void buttonsAreIgnoredAndEachMoveStartsAfresh();
    void realMouseMoveOnTheCanvas();
};

void TestInclinationPointer::pointer_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<double>("angle");
    QTest::addColumn<QString>("degrees");
    QTest::addColumn<QString>("slope");
    QTest::addColumn<int>("arcPoints");
    QTest::addColumn<QLineF>("ends");
    const QLineF rising(-3, -5, 7, 5), falling(7, -5, -3, 5);
    const double h = std::sqrt(50.0);
    QTest::newRow("(3, 1)") << 3.f << 1.f << 0.785398 << "45°"
                            << "1" << 16 << rising;
    QTest::newRow("(-1, -3), below the axis") << -1.f << -3.f << 0.785398 << "45°"
                                              << "1" << 16 << rising;
    QTest::newRow("(1, 1)") << 1.f << 1.f << 2.3561918 << "135°"
                            << "-1" << 48 << falling;
    QTest::newRow("(3, -1)") << 3.f << -1.f << 2.3561918 << "135°"
                             << "-1" << 48 << falling;
    QTest::newRow("(2.5, 10)") << 2.5f << 10.f << 1.5208379 << "87.14°"
                               << "20" << 31 << QLineF(1.6469, -7.0622, 2.3531, 7.0622);
    QTest::newRow("(2.2, 20), just below the band")
        << 2.2f << 20.f << std::atan(100.0) << "89.43°"
        << "100" << 32 << QLineF(1.9293, -7.0707, 2.0707, 7.0707);
    QTest::newRow("(2.001, 5), within the band") << 2.001f << 5.f << 1.5705963 << "90°"
                                                 << "不存在" << 32 << QLineF(1.9986, -h, 2.0014, h);
    QTest::newRow("(2, 5), on the vertical") << 2.f << 5.f << std::numbers::pi / 2 << "90°"
                                             << "不存在" << 32 << QLineF(2, -h, 2, h);
    QTest::newRow("(2, 0), the pivot") << 2.f << 0.f << std::numbers::pi / 2 << "90°"
                                       << "不存在" << 32 << QLineF(2, -h, 2, h);
    QTest::newRow("(6, 0), level with the pivot") << 6.f << 0.f << 3.14159 << "180°"
                                                  << "0" << 63 << QLineF(2 + h, 0, 2 - h, 0);
}

void TestInclinationPointer::pointer() {
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(double, angle);
    QFETCH(int, arcPoints);
    QFETCH(QLineF, ends);
    replay::Session session("quillet");
    drawn(session);
    canvas(session).mouseMove(0, 0, x, y);

    QVERIFY(std::abs(lessontest::variable(session.form(), "lineAngle") - angle) < 1e-6);
    QTEST(QString::fromStdString(label(session, "Label1").caption()), "degrees");
    QTEST(QString::fromStdString(label(session, "Label4").caption()), "slope");
    const forms::LineShape& line = line1(session);
    const QLineF actual(line.x1(), line.y1(), line.x2(), line.y2());
    const QString where = QString("(%1, %2)-(%3, %4)")
                              .arg(actual.x1())
                              .arg(actual.y1())
                              .arg(actual.x2())
                              .arg(actual.y2());
    QVERIFY2((actual.p1() - ends.p1()).manhattanLength() < 2e-3 &&
                 (actual.p2() - ends.p2()).manhattanLength() < 2e-3,
             qPrintable(where));

    const QJsonArray arc = callsOf(drawn(session), "PSet");
    QCOMPARE(arc.size(), arcPoints);
    for (qsizetype k = 0; k < arc.size(); ++k) {
        QCOMPARE(arc[k]["color"], 255);
        QVERIFY(std::abs(arc[k]["x"].toDouble() - (2 + std::cos(0.05 * double(k)))) < 1e-6);
        QVERIFY(arc[k]["y"].toDouble() >= 0);
    }
}

void TestInclinationPointer::buttonsAreIgnoredAndEachMoveStartsAfresh() {
    replay::Session held("quillet"), free("quillet");
    lessontest::run(held, "move 6 0 1");
    QVERIFY(redNear(held.render(), windowPixel(held, 2, 1)));
    lessontest::run(held, "move 3 1 1");
    lessontest::run(free, "move 3 1");
    QCOMPARE(label(held, "Label1").caption(), label(free, "Label1").caption());
    QCOMPARE(line1(held).x1(), line1(free).x1());
    // The half circle of the level line is gone; the arc up to 45° is there.
    const QImage image = held.render();
    QVERIFY(!redNear(image, windowPixel(held, 2, 1)));
    QVERIFY(redNear(image, windowPixel(held, 2 + std::cos(0.4), std::sin(0.4))));
    QCOMPARE(image, free.render());
}

void TestInclinationPointer::realMouseMoveOnTheCanvas() {
    replay::Session session("quillet");
    forms::Canvas& picture = canvas(session);
    const QPoint pixel = (picture.scale().toPixels(3, 1) + QPointF(2, 2)).toPoint();
    QTest::mouseMove(&picture.widget(), pixel);
    const QPointF user = picture.scale().toUser(QPointF(pixel) - QPointF(2, 2));
    const double expected = std::atan(double(float(user.y()) / (float(user.x()) - 2.0f)));
    QCOMPARE(lessontest::variable(session.form(), "lineAngle"), expected);
    QVERIFY(std::abs(expected - std::numbers::pi / 4) < 0.01);
    QCOMPARE(QString::fromStdString(label(session, "Label1").caption()),
             QString::fromStdString(forms::formatPattern(expected * 180 / 3.14159, "0.##")) + "°");
}

QTEST_MAIN(TestInclinationPointer)
#include "tst_inclination_pointer.moc"
