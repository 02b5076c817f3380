// SPDX-License-Identifier: GPL-3.0-or-later
// One finger on the canvas works as the left mouse button does: it drags the points of
// the distance and slope lessons.
#include <QPointingDevice>

#include "lessontest.h"

using namespace forms;
using lessontest::control;

class TestTouch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { screen_ = QTest::createTouchDevice(); }
    void oneFingerDragMovesTheNearerPoint_data() {
        QTest::addColumn<QString>("lesson");
        QTest::newRow("distance") << "dorvane";
        QTest::newRow("slope") << "skelvin";
    }
    void oneFingerDragMovesTheNearerPoint() {
        QFETCH(QString, lesson);
        replay::Session session(lesson.toStdString());
        lessontest::run(session, "wait 2000");
        auto& canvas = control<Canvas>(session, "Picture1");
        QWidget& view = canvas.widget();
        QTest::touchEvent(&view, screen_).press(0, widgetPoint(canvas, 4, 5));
        for (int step = 1; step <= 10; ++step)
            QTest::touchEvent(&view, screen_)
                .move(0, widgetPoint(canvas, 4 + 0.5 * step, 5 - 0.3 * step));
        QTest::touchEvent(&view, screen_).release(0, widgetPoint(canvas, 9, 2));
        const auto& line = control<LineShape>(session, "Line1");
        QVERIFY(qAbs(line.x2() - 9) < 0.05f && qAbs(line.y2() - 2) < 0.05f);
        QCOMPARE(QPointF(line.x1(), line.y1()), QPointF(1, 1));
    }

private:
    static QPoint widgetPoint(Canvas& canvas, double x, double y) {
        return (canvas.scale().toPixels(x, y) + QPointF(2, 2)).toPoint();
    }
    QPointingDevice* screen_ = nullptr;
};

QTEST_MAIN(TestTouch)
#include "tst_touch.moc"
