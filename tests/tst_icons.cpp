// SPDX-License-Identifier: GPL-3.0-or-later
// The lessons' icons: each window shows the icon installed for its desktop entry, and the
// three stay apart from 16 to 256 pixels.
#include <QTest>
#include <algorithm>
#include <array>

#include "session.h"

namespace {

const std::array<const char*, 3> kLessons = {"dorvane", "skelvin", "quillet"};

QImage windowIcon(const char* lesson, int side) {
    replay::Session session(lesson);
    return session.form()
        .window()
        .windowIcon()
        .pixmap(side, side)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

// The share of pixels where two pictures of one size plainly differ, by over 64 in a channel.
double differingShare(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            differing +=
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))}) > 64;
        }
    return double(differing) / (a.width() * a.height());
}

}  // namespace

class TestIcons : public QObject {
    Q_OBJECT
private slots:
    void windowShowsTheInstalledIcon_data() {
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<int>("side");
        for (const char* lesson : kLessons)
            for (int side : {16, 48, 256}) QTest::addRow("%s %d", lesson, side) << lesson << side;
    }

    void windowShowsTheInstalledIcon() {
        QFETCH(QString, lesson);
        QFETCH(int, side);
        const QImage installed =
            QImage(QString(ICON_DIR "/hicolor/%1x%1/apps/%2.png").arg(side).arg(lesson))
                .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(installed.size(), QSize(side, side));
        QCOMPARE(differingShare(windowIcon(qPrintable(lesson), side), installed), 0.0);
    }

    void iconsStayApartAtEverySize_data() {
        QTest::addColumn<int>("side");
        for (int side : {16, 24, 32, 48, 256}) QTest::addRow("%d px", side) << side;
    }

    void iconsStayApartAtEverySize() {
        QFETCH(int, side);
        const QImage dorvane = windowIcon("dorvane", side);
        const QImage skelvin = windowIcon("skelvin", side);
        const QImage quillet = windowIcon("quillet", side);
        // An eighth of the square or more tells any two apart, not a stray pixel or two.
        QCOMPARE_GE(differingShare(dorvane, skelvin), 0.125);
        QCOMPARE_GE(differingShare(dorvane, quillet), 0.125);
        QCOMPARE_GE(differingShare(skelvin, quillet), 0.125);
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
