// SPDX-License-Identifier: GPL-3.0-or-later
// The lessons at device pixel ratios 1, 1.5 and 2: the same layout, drawn at the
// physical resolution with crisp lines.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {

struct Render {
    QImage image;
    double scale;
};

Render render(const QString& lesson, double scale, const QByteArray& script) {
    QTemporaryDir dir;
    const QString png = dir.filePath("window.png");
    QProcess process;
    process.start(QStringLiteral(LESSON_REPLAY_PATH),
                  {"--scale", QString::number(scale), "--png", png, lesson});
    process.write(script);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {QImage(png), scale};
}

// The centre of the pure red pixels inside a logical rectangle, in logical pixels.
QPointF redCentre(const Render& render, QRect logical) {
    const QRect area(
        QPoint(int(logical.left() * render.scale), int(logical.top() * render.scale)),
        QPoint(int(logical.right() * render.scale), int(logical.bottom() * render.scale)));
    double sx = 0, sy = 0, n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = render.image.pixelColor(x, y);
            if (c.red() > 220 && c.green() < 40 && c.blue() < 40) sx += x + 0.5, sy += y + 0.5, ++n;
        }
    return n > 0 ? QPointF(sx / n, sy / n) / render.scale : QPointF(-1, -1);
}

}  // namespace

class TestHighDpi : public QObject {
    Q_OBJECT
private slots:
    void sameLayoutAtEveryScale_data() {
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QRect>("marker");  // logical area holding one red mark
        // B at (4, 5) lies at (208, 109) in the window; quillet's arc about the pivot
        // (2, 0) from 0 to 45 degrees runs from (270, 229) to (262, 215).
        QTest::newRow("dorvane B") << "dorvane" << QSize(524, 492) << QRect(196, 97, 25, 25);
        QTest::newRow("quillet arc") << "quillet" << QSize(417, 492) << QRect(255, 205, 22, 28);
    }
    void sameLayoutAtEveryScale() {
        QFETCH(QString, lesson);
        QFETCH(QSize, client);
        QFETCH(QRect, marker);
        const QByteArray script = "wait 2000\nmove 3 1 0\n";
        const Render one = render(lesson, 1, script);
        QCOMPARE(one.image.size(), client);
        const QPointF reference = redCentre(one, marker);
        QVERIFY(reference.x() > 0);
        for (double scale : {1.5, 2.0}) {
            const Render scaled = render(lesson, scale, script);
            QCOMPARE(scaled.image.width(), int(std::ceil(client.width() * scale - 0.01)));
            const QPointF centre = redCentre(scaled, marker);
            QVERIFY2((centre - reference).manhattanLength() < 1.5,
                     qPrintable(QString::number(scale)));
            if (lesson != "dorvane") continue;
            // Its x axis, two logical pixels wide, in a column between ticks: ink, no blur.
            const int column = int((10 + (6.5 + 2) * 496 / 15) * scale);
            int dark = 0, soft = 0;
            for (int y = int(255 * scale); y < int(295 * scale); ++y) {
                const int lightness = scaled.image.pixelColor(column, y).lightness();
                dark += lightness < 120 ? 1 : 0;
                soft += lightness >= 120 && lightness < 230 ? 1 : 0;
            }
            QCOMPARE(dark, int(2 * scale));
            QCOMPARE(soft, 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
