// SPDX-License-Identifier: GPL-3.0-or-later
// The lessons as Wayland programs on a private weston desktop, driven by real input through
// it, with their pixels checked on screenshots: each paints, goes full screen and back with
// nothing left unpainted, and names its desktop entry as its app id.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <utility>

#include "pixels.h"
#include "westonsession.h"

namespace {

using namespace pixels;

// Qt's own window decoration on Wayland: a title bar of 30 pixels and borders of 3.
constexpr QPoint kClientInWindow(3, 30);
constexpr int kTitleBarHeight = 30;

bool isBackground(QColor c) {
    return c.rgb() == WestonSession::kBackground;
}
bool isWhite(QColor c) {
    return c.rgb() == qRgb(255, 255, 255);
}

// Where a window shows on the desktop: the rows and columns with more pixels off the
// background than weston's pointer has.
QRect windowOn(const QImage& shot) {
    constexpr int kFew = 32;
    std::vector<int> rows(shot.height()), columns(shot.width());
    for (int y = 0; y < shot.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            const bool off = (line[x] | 0xff000000) != WestonSession::kBackground;
            rows[y] += off, columns[x] += off;
        }
    }
    const auto first = [&](const std::vector<int>& v) {
        return int(std::find_if(v.begin(), v.end(), [&](int n) { return n > kFew; }) - v.begin());
    };
    const auto last = [&](const std::vector<int>& v) {
        return int(v.rend() - std::find_if(v.rbegin(), v.rend(), [&](int n) { return n > kFew; })) -
               1;
    };
    return QRect(QPoint(first(columns), first(rows)), QPoint(last(columns), last(rows)));
}

// Square areas of 16 pixels that are black throughout: never a line or a letter of a
// lesson, but a window that was never painted, or what the desktop leaves behind one.
int blackSquares(const QImage& shot) {
    constexpr int kSide = 16;
    int squares = 0;
    for (int top = 0; top + kSide <= shot.height(); top += kSide)
        for (int left = 0; left + kSide <= shot.width(); left += kSide)
            squares += countIn(shot, QRect(left, top, kSide, kSide),
                               [](QColor c) { return c.rgb() == qRgb(0, 0, 0); }) == kSide * kSide;
    return squares;
}

double blackShare(const QImage& shot) {
    return double(countIn(shot, shot.rect(), [](QColor c) { return c.rgb() == qRgb(0, 0, 0); })) /
           (shot.width() * shot.height());
}

// Each lesson's own marks at their places in its client area.
bool painted(const QString& lesson, const QImage& shot, QPoint client) {
    // The distance lesson's red end points A and B.
    if (lesson == "dorvane")
        return countAround(shot, planePixel(client, 1, 1), 3, isRed) > 5 &&
               countAround(shot, planePixel(client, 4, 5), 3, isRed) > 5;
    // The slope lesson's end point P2, and its formula picture with y2 - y1 in red and
    // x2 - x1 in blue, 150 and 376 pixels into the client area.
    if (lesson == "skelvin") {
        const QRect formula(client + QPoint(150, 376), QSize(240, 70));
        return countAround(shot, planePixel(client, 4, 5), 4, isRed) > 3 &&
               countIn(shot, formula, isRed) > 30 && countIn(shot, formula, isBlue) > 30;
    }
    // The inclination lesson's canvas: 120 and 600 twips from the corner, 401 x 377 pixels.
    const QRect canvas(client + QPoint(8, 40), QSize(401, 377));
    return countIn(shot, canvas, isBlue) > 100 &&
           countIn(shot, canvas, isWhite) > canvas.width() * canvas.height() * 9 / 10;
}

QStringList at(QPoint p) {
    return {"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())};
}

}  // namespace

class TestWayland : public QObject {
    Q_OBJECT
private slots:
    // Skips the lot where no desktop can start here. CTest counts a run that skipped
    // anything as skipped, so a desktop that fails later, after one came up, is a failure.
    void initTestCase() {
        const WestonSession probe;
        if (!probe.failure().isEmpty())
            QSKIP(qPrintable("no Wayland desktop for real windows: " + probe.failure()));
    }
    void init() {
        weston_ = std::make_unique<WestonSession>();
        QVERIFY2(weston_->failure().isEmpty(), qPrintable(weston_->failure()));
    }
    void cleanup() { weston_.reset(); }

    void paintsNamesItsEntryAndGoesFullScreen_data() {
        QTest::addColumn<QString>("lesson");
        QTest::addColumn<QString>("program");
        QTest::newRow("dorvane") << QStringLiteral("dorvane") << QStringLiteral(DORVANE_PATH);
        QTest::newRow("skelvin") << QStringLiteral("skelvin") << QStringLiteral(SKELVIN_PATH);
        QTest::newRow("quillet") << QStringLiteral("quillet") << QStringLiteral(QUILLET_PATH);
    }
    void paintsNamesItsEntryAndGoesFullScreen() {
        QFETCH(QString, lesson);
        QFETCH(QString, program);
        QRect window;
        QImage shot;
        launch(program, lesson, window, shot);
        if (QTest::currentTestFailed()) return;
        // The title bar once it has settled: drawn first, it may be drawn again as the window
        // becomes the active one.
        QImage titleBar;
        QVERIFY(XSession::waitFor([&] {
            const QImage now =
                weston_->screenshot().copy(window.x(), window.y(), window.width(), kTitleBarHeight);
            return std::exchange(titleBar, now) == now;
        }));

        // The desktop finds the window's entry by its app id: the entry that starts it.
        static const QRegularExpression appId("set_app_id\\(\"([^\"]*)\"\\)");
        QStringList ids;
        for (const auto& match : appId.globalMatch(QString(weston_->protocolLog())))
            ids << match.captured(1);
        ids.removeDuplicates();
        QCOMPARE(ids.size(), 1);
        QFile entry(QStringLiteral(DESKTOP_ENTRY_DIR "/%1.desktop").arg(ids.first()));
        QVERIFY2(entry.open(QIODevice::ReadOnly), qPrintable(ids.first() + " names no entry"));
        QVERIFY(entry.readAll().split('\n').contains("Exec=" + lesson.toUtf8()));

        // Full screen: the whole output, painted throughout.
        QVERIFY(weston_->xdotool({"key", "F11"}));
        const auto fullScreen = [&] {
            shot = weston_->screenshot();
            return countIn(shot, shot.rect(), isBackground) == 0 && blackSquares(shot) == 0;
        };
        const bool filled = XSession::waitFor(fullScreen);
        qInfo("%s at full screen: %.2f %% of the screen black", qPrintable(lesson),
              100 * blackShare(shot));
        if (!filled)
            QFAIL(qPrintable(QString("%1 squares of 16 pixels black throughout, %2 pixels of the "
                                     "desktop showing; ")
                                 .arg(blackSquares(shot))
                                 .arg(countIn(shot, shot.rect(), isBackground)) +
                             failedScreen(shot, lesson)));

        // Escape: back at its size and place, the title bar above the lesson, nothing black.
        QVERIFY(weston_->xdotool({"key", "Escape"}));
        const bool restored = XSession::waitFor([&] {
            shot = weston_->screenshot();
            return windowOn(shot) == window && blackSquares(shot) == 0 &&
                   painted(lesson, shot, window.topLeft() + kClientInWindow);
        });
        const QRect after = windowOn(shot);
        qInfo("%s after Escape: the window at %d,%d %dx%d (before %d,%d %dx%d), %d black squares",
              qPrintable(lesson), after.x(), after.y(), after.width(), after.height(), window.x(),
              window.y(), window.width(), window.height(), blackSquares(shot));
        if (!restored) QFAIL(qPrintable("not back as it was; " + failedScreen(shot, lesson)));
        // The title bar's icon and buttons as they were; Qt may centre the title a few
        // pixels aside.
        const QImage titleBarNow =
            shot.copy(window.x(), window.y(), window.width(), kTitleBarHeight);
        for (const QRect& end :
             {QRect(0, 0, 40, kTitleBarHeight), QRect(window.width() - 80, 0, 80, kTitleBarHeight)})
            QCOMPARE(titleBarNow.copy(end), titleBar.copy(end));
    }

    // The nearer end point follows a real drag through the compositor.
    void distanceDragMovesA() {
        QRect window;
        QImage shot;
        launch(DORVANE_PATH, "dorvane", window, shot);
        if (QTest::currentTestFailed()) return;
        const QPoint client = window.topLeft() + kClientInWindow;
        const QPoint from = planePixel(client, 1, 1), to = planePixel(client, 8, 2);
        // Pressed only once the lesson has the pointer.
        static const QRegularExpression entered(R"re(wl_pointer@\d+\.enter\()re");
        QVERIFY(XSession::waitFor([&] {
            return weston_->enterAt(from) && QString(weston_->protocolLog()).contains(entered);
        }));
        QVERIFY(weston_->xdotool({"mousedown", "1"}));
        for (int step = 1; step <= 8; ++step)
            QVERIFY(weston_->xdotool(at(from + (to - from) * step / 8)));
        QVERIFY(weston_->xdotool({"mouseup", "1"}));
        if (!XSession::waitFor([&] {
                shot = weston_->screenshot();
                return countAround(shot, to, 3, isRed) > 5;
            }))
            QFAIL(qPrintable("A did not follow the drag: " + failedScreen(shot, "dorvane-drag")));
        QCOMPARE(countAround(shot, from, 3, isRed), 0);
        QVERIFY(countAround(shot, planePixel(client, 4, 5), 3, isRed) > 5);
    }

private:
    // Starts the lesson and waits for its window, painted.
    void launch(const QString& program, const QString& lesson, QRect& window, QImage& shot) {
        QVERIFY(weston_->launch(program));
        const bool shown = XSession::waitFor([&] {
            shot = weston_->screenshot();
            window = windowOn(shot);
            return window.isValid() && painted(lesson, shot, window.topLeft() + kClientInWindow);
        });
        if (!shown)
            QFAIL(qPrintable("the window did not show painted: " + failedScreen(shot, lesson)));
    }
    // Keeps the screen of a failed check for whoever looks into it, and says where.
    static QString failedScreen(const QImage& shot, const QString& lesson) {
        const QString path = QDir::temp().filePath("tst_wayland-" + lesson + ".png");
        shot.save(path);
        return "the screen is in " + path;
    }
    std::unique_ptr<WestonSession> weston_;
};

QTEST_MAIN(TestWayland)
#include "tst_wayland.moc"
