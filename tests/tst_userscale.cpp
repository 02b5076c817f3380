// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "userscale.h"

using forms::UserScale;

class TestUserScale : public QObject {
    Q_OBJECT
private slots:
    void toPixels_data();
    void toPixels();
    void roundTrip();
    void lengthsArePositive();
    void twips();
};

void TestUserScale::toPixels_data() {
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("userX");
    QTest::addColumn<double>("userY");
    QTest::addColumn<double>("pixelX");
    QTest::addColumn<double>("pixelY");

    // The lessons' plane: x from -2 to 13 and y from 8 down to -3 over 496 x 363 pixels.
    QTest::newRow("plane origin") << -2.0 << 8.0 << 15.0 << -11.0 << 0.0 << 0.0 << 496.0 * 2 / 15
                                  << 363.0 * 8 / 11;
    QTest::newRow("plane top-left") << -2.0 << 8.0 << 15.0 << -11.0 << -2.0 << 8.0 << 0.0 << 0.0;
    QTest::newRow("plane bottom-right")
        << -2.0 << 8.0 << 15.0 << -11.0 << 13.0 << -3.0 << 496.0 << 363.0;
    QTest::newRow("y up: higher is nearer the top")
        << -2.0 << 8.0 << 15.0 << -11.0 << 0.0 << 7.0 << 496.0 * 2 / 15 << 363.0 / 11;
    QTest::newRow("symmetric ranges")
        << -10.0 << 10.0 << 20.0 << -20.0 << 5.0 << -5.0 << 496.0 * 0.75 << 363.0 * 0.75;
    QTest::newRow("far away") << -2.0 << 8.0 << 15.0 << -11.0 << 5000.0 << -3000.0
                              << 496.0 * 5002 / 15 << 363.0 * 3008 / 11;
}

void TestUserScale::toPixels() {
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, userX);
    QFETCH(double, userY);
    QFETCH(double, pixelX);
    QFETCH(double, pixelY);
    const UserScale scale(left, top, width, height, QSizeF(496, 363));
    const QPointF pixel = scale.toPixels(userX, userY);
    QCOMPARE(pixel.x(), pixelX);
    QCOMPARE(pixel.y(), pixelY);
    const QPointF back = scale.toUser(pixel);
    QVERIFY(qAbs(back.x() - userX) < 1e-9 * qMax(1.0, qAbs(userX)));
    QVERIFY(qAbs(back.y() - userY) < 1e-9 * qMax(1.0, qAbs(userY)));
}

void TestUserScale::roundTrip() {
    const UserScale scale(1e9, 10, 1, -20, QSizeF(397, 373));
    for (double x : {1e9, 1e9 + 0.25, 1e9 + 1}) {
        const QPointF back = scale.toUser(scale.toPixels(x, -3));
        QCOMPARE(back.x(), x);
        QCOMPARE(back.y(), -3.0);
    }
}

void TestUserScale::lengthsArePositive() {
    const UserScale scale(-2, 8, 15, -11, QSizeF(496, 363));
    QCOMPARE(scale.heightToPixels(1), 33.0);
    QCOMPARE(scale.heightToUser(33), 1.0);
    QCOMPARE(scale.widthToPixels(-1.5), 496.0 * 1.5 / 15);
}

void TestUserScale::twips() {
    const UserScale scale = UserScale::twips(QSizeF(524, 492));
    QCOMPARE(scale.toPixels(1560, 6720), QPointF(104, 448));
    QCOMPARE(scale.width(), 7860.0);
    QCOMPARE(forms::twipsToPixels(7380), 492);
    QCOMPARE(forms::twipsToPixels(-7), 0);
    QCOMPARE(forms::twipsToPixels(8), 1);
}

QTEST_APPLESS_MAIN(TestUserScale)
#include "tst_userscale.moc"
