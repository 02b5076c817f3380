// SPDX-License-Identifier: GPL-3.0-or-later
// The distance and slope lessons in real windows on a private X display, driven by real X input,
// with their pixels checked on screenshots.
#include <QFontMetrics>
#include <QPainter>
#include <QTest>
#include <QThread>
#include <cmath>

#include "pixels.h"
#include "xsession.h"

namespace {

using namespace pixels;

// The same canvas with the whole window zoomed: edges, border and units grow with it.
QPoint zoomedPlanePixel(QPoint client, double zoom, double x, double y) {
    const double inner = double(std::lround(8 * zoom) + 2 * std::lround(zoom));
    return client +
           QPoint(int(inner + (x + 2) * 496 / 15 * zoom), int(inner + (8 - y) * 363 / 11 * zoom));
}

// How well `text` in the dialogs' face, at the best of a few sizes around 9 pt, matches
// some spot of `area`: the highest normalised cross-correlation of grey levels, 1 for the
// same picture.
double likeness(const QImage& area, const QString& text) {
    const QImage grey = area.convertToFormat(QImage::Format_Grayscale8);
    const auto at = [](const QImage& image, int x, int y) { return image.constScanLine(y)[x]; };
    double best = -1;
    for (int pixels = 10; pixels <= 16; ++pixels) {
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPixelSize(pixels);
        const QRect ink = QFontMetrics(font).tightBoundingRect(text).adjusted(-1, -1, 1, 1);
        QImage glyphs(ink.size(), QImage::Format_Grayscale8);
        glyphs.fill(Qt::white);
        QPainter painter(&glyphs);
        painter.setFont(font);
        painter.drawText(-ink.topLeft(), text);
        painter.end();
        const int w = glyphs.width(), h = glyphs.height();
        for (int top = 0; top + h <= grey.height(); ++top) {
            for (int left = 0; left + w <= grey.width(); ++left) {
                double st = 0, sa = 0, stt = 0, saa = 0, sta = 0;
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < w; ++x) {
                        const double t = at(glyphs, x, y), a = at(grey, left + x, top + y);
                        st += t, sa += a, stt += t * t, saa += a * a, sta += t * a;
                    }
                }
                const double n = w * h, vt = stt - st * st / n, va = saa - sa * sa / n;
                if (vt > 0 && va > 0)
                    best = std::max(best, (sta - st * sa / n) / std::sqrt(vt * va));
            }
        }
    }
    return best;
}

QStringList at(QPoint p) {
    return {"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())};
}

}  // namespace

// Starts the X session the test asks for, or skips the test saying why there is none.
#define START_X(...)                                                              \
    do {                                                                          \
        x_ = std::make_unique<XSession>(__VA_ARGS__);                             \
        if (!x_->failure().isEmpty())                                             \
            QSKIP(qPrintable("no X display for real windows: " + x_->failure())); \
    } while (false)

class TestRealWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { x_.reset(); }
    void distanceDragMovesTheMarkerAndRevealsTheFormula() {
        START_X(QSize(1024, 768), XSession::Manager::Openbox);
        requireProgram(DORVANE_PATH);
        const QRect client = settled(x_->launch(DORVANE_PATH, {}, "两点间的距离公式"));
        QVERIFY(!client.isEmpty());
        const QPoint window = client.topLeft();
        QImage shot;
        QVERIFY(XSession::waitFor([&] {
            shot = x_->screenshot();
            return countAround(shot, planePixel(window, 4, 5), 3, isRed) > 5 &&
                   shot.pixelColor(planePixel(window, 6.5, 0)).lightness() < 150;
        }));
        const QPoint formulaArea = window + QPoint(150, 459);
        QCOMPARE(countAround(shot, formulaArea, 40, isRed), 0);

        QVERIFY(x_->xdotool(at(planePixel(window, 4, 5))));
        QVERIFY(x_->xdotool({"mousedown", "1"}));
        for (double t = 0.1; t <= 1.0; t += 0.1)
            QVERIFY(x_->xdotool(at(planePixel(window, 4 + 5 * t, 5 - 3 * t))));
        QVERIFY(x_->xdotool({"mouseup", "1"}));
        QVERIFY(XSession::waitFor([&] {
            shot = x_->screenshot();
            return countAround(shot, planePixel(window, 9, 2), 3, isRed) > 5;
        }));
        QCOMPARE(countAround(shot, planePixel(window, 4, 5), 3, isRed), 0);
        QVERIFY(countAround(shot, formulaArea, 40, isRed) > 20);

        QVERIFY(openAndCloseHint(window + QPoint(464 + 29, 432 + 29)));
    }
    // The keypad's Enter on the sliver, reached by Tab, shows the formula row as a click does.
    void enterOnTheSliverRevealsTheFormula() {
        START_X(QSize(1024, 768), XSession::Manager::Openbox);
        requireProgram(DORVANE_PATH);
        const QRect client = settled(x_->launch(DORVANE_PATH, {}, "两点间的距离公式"));
        QVERIFY(!client.isEmpty());
        const QPoint window = client.topLeft();
        QVERIFY(XSession::waitFor(
            [&] { return countAround(x_->screenshot(), planePixel(window, 4, 5), 3, isRed) > 5; }));
        const QPoint formulaArea = window + QPoint(150, 459);
        QCOMPARE(countAround(x_->screenshot(), formulaArea, 40, isRed), 0);
        QVERIFY(x_->xdotool({"key", "Tab", "Tab", "KP_Enter"}));
        QVERIFY(XSession::waitFor(
            [&] { return countAround(x_->screenshot(), formulaArea, 40, isRed) > 20; }));
    }
    void slopeLegsBlinkAndArcsSurviveTheHint() {
        START_X(QSize(1024, 768), XSession::Manager::Openbox);
        requireProgram(SKELVIN_PATH);
        const QRect client = settled(x_->launch(SKELVIN_PATH, {}, "斜率公式"));
        QVERIFY(!client.isEmpty());
        const QPoint window = client.topLeft();
        // The run leg lies along y = 1 from x = 1 to 4; look at its middle part.
        const QPoint run = planePixel(window, 2.5, 1);
        QImage shot;
        const auto blue = [&] { return countAround(shot = x_->screenshot(), run, 8, isBlue) > 2; };
        QVERIFY(XSession::waitFor(blue));
        QVERIFY(XSession::waitFor(
            [&] { return countAround(shot = x_->screenshot(), run, 8, isBlue) == 0; }, 3000));
        QVERIFY(XSession::waitFor(blue, 3000));

        // The arc at the lower point P1 = (1, 1), radius 0.5, from 0 to about 53 degrees.
        const QPoint arc = planePixel(window, 1 + 0.5 * std::cos(0.45), 1 + 0.5 * std::sin(0.45));
        QVERIFY(countAround(shot, arc, 3, isRed) > 0);
        QVERIFY(openAndCloseHint(window + QPoint(456 + 29, 376 + 29)));
        QVERIFY(XSession::waitFor([&] { return countAround(x_->screenshot(), arc, 3, isRed) > 0; },
                                  3000));
    }
    // Ctrl++ up to what the screen holds and a drag there, F11 and a drag at full screen,
    // Escape, Ctrl+R and the help box with its 确定, through real keys and pointer under a
    // window manager.
    void zoomFullScreenAndRestart() {
        START_X(QSize(1024, 768), XSession::Manager::Openbox);
        requireProgram(DORVANE_PATH);
        const QString id = x_->launch(DORVANE_PATH, {}, "两点间的距离公式");
        QVERIFY(!id.isEmpty());
        const auto markerAt = [&](QPoint pixel) {
            return XSession::waitFor(
                [&] { return countAround(x_->screenshot(), pixel, 4, isRed) > 8; });
        };
        QPoint window = settled(id).topLeft();
        QVERIFY(markerAt(planePixel(window, 4, 5)));
        const auto drag = [&](QPoint from, QPoint to) {
            bool ok = x_->xdotool(at(from)) && x_->xdotool({"mousedown", "1"});
            for (int step = 1; step <= 8; ++step)
                ok = ok && x_->xdotool(at(from + (to - from) * step / 8));
            return ok && x_->xdotool({"mouseup", "1"});
        };
        const auto clientSize = [&](QSize size) {
            return XSession::waitFor([&] { return x_->clientGeometry(id).size() == size; });
        };

        // 100 → 125 → 150 → 175, which with its frame does not fit 768 rows and gives the
        // largest zoom that does (about 151 %), → 150.
        for (const char* key : {"ctrl+plus", "ctrl+equal", "ctrl+plus", "ctrl+minus"})
            QVERIFY(x_->xdotool({"key", key}));
        QVERIFY(clientSize(QSize(786, 738)));
        window = settled(id).topLeft();
        QVERIFY(markerAt(zoomedPlanePixel(window, 1.5, 4, 5)));
        QVERIFY(drag(zoomedPlanePixel(window, 1.5, 4, 5), zoomedPlanePixel(window, 1.5, 7, 2)));
        QVERIFY(markerAt(zoomedPlanePixel(window, 1.5, 7, 2)));

        // Full screen on 1024 x 768: the 524 x 492 client at 768 / 492, centred across.
        QVERIFY(x_->xdotool({"key", "F11"}));
        QVERIFY(clientSize(QSize(1024, 768)));
        const double fit = 768.0 / 492;
        const QPoint client(int((1024 - std::lround(524 * fit)) / 2), 0);
        QVERIFY(markerAt(zoomedPlanePixel(client, fit, 7, 2)));
        QVERIFY(drag(zoomedPlanePixel(client, fit, 7, 2), zoomedPlanePixel(client, fit, 10, 6)));
        QVERIFY(markerAt(zoomedPlanePixel(client, fit, 10, 6)));

        // Escape returns to the window at 150 %; Ctrl+R starts afresh there.
        QVERIFY(x_->xdotool({"key", "Escape"}));
        QVERIFY(clientSize(QSize(786, 738)));
        window = settled(id).topLeft();
        QVERIFY(x_->xdotool({"key", "ctrl+r"}));
        QImage shot;
        QVERIFY(XSession::waitFor([&] {
            shot = x_->screenshot();
            return countAround(shot, zoomedPlanePixel(window, 1.5, 4, 5), 4, isRed) > 8 &&
                   countAround(shot, zoomedPlanePixel(window, 1.5, 1, 1), 4, isRed) > 8;
        }));
        const auto helpShown = [this] {
            return x_->xdotool({"search", "--onlyvisible", "--name", "^帮助$"});
        };
        // At 100 %, where the help box shows at the desktop's size.
        QVERIFY(x_->xdotool({"key", "ctrl+0"}));
        QVERIFY(x_->xdotool({"key", "F1"}) && XSession::waitFor(helpShown));
        // Its one button, in the bottom right corner, shows 确定 (an OK there scores below 0.5).
        QByteArray help;
        QVERIFY(x_->xdotool({"search", "--onlyvisible", "--name", "^帮助$"}, &help));
        const QRect box = settled(QString::fromLatin1(help).split('\n').first().trimmed());
        const QRect corner = box.adjusted(box.width() * 2 / 5, box.height() - 40, 0, 0);
        QVERIFY(XSession::waitFor(
            [&] { return likeness(x_->screenshot().copy(corner), "确定") > 0.9; }));
        QVERIFY(x_->xdotool({"key", "Return"}) && XSession::waitFor([&] { return !helpShown(); }));
    }
    // Every zoom step keeps the framed window on the screen, and a zoom that does not fit
    // gives the largest that does: the frame then spans the screen's height, to within a
    // percent of the client's.
    // The ring round the selected point is repainted over all it drew: stepped by keys and
    // moved by a press in a zoomed window, it leaves nothing of itself behind.
    void keyRingLeavesNothingBehind_data() {
        QTest::addColumn<int>("percent");
        QTest::newRow("200 %") << 200;
        QTest::newRow("400 %") << 400;
    }
    void keyRingLeavesNothingBehind() {
        QFETCH(int, percent);
        const double zoom = percent / 100.0;
        START_X(QSize(3840, 2160), XSession::Manager::Openbox);
        requireProgram(DORVANE_PATH);
        const QRect client = settled(
            x_->launch(DORVANE_PATH, {"--zoom", QString::number(percent)}, "两点间的距离公式"));
        QVERIFY(!client.isEmpty());
        const QPoint origin = client.topLeft();
        const auto plane = [&](double x, double y) { return zoomedPlanePixel(origin, zoom, x, y); };
        QVERIFY(XSession::waitFor(
            [&] { return countAround(x_->screenshot(), plane(4, 5), int(3 * zoom), isRed) > 5; }));
        // Any tint of the marks' blue, down to a faint anti-aliased edge; the plane itself has
        // only greys, black and red here.
        const auto isMarkBlue = [](QColor c) {
            return c.blue() - c.red() > 20 && c.green() - c.red() > 10;
        };
        const int reach = int(std::ceil(14 * zoom));
        // Space twice: B, then A again, so that the ring is drawn round A at (1, 1) first.
        QVERIFY(x_->xdotool({"key", "--delay", "80", "space", "space"}));
        QVERIFY(XSession::waitFor(
            [&] { return countAround(x_->screenshot(), plane(1, 1), reach, isMarkBlue) > 20; }));
        QVERIFY(x_->xdotool({"key", "--delay", "80", "shift+Up", "shift+Up", "shift+Up"}));
        QVERIFY(XSession::waitFor(
            [&] { return countAround(x_->screenshot(), plane(1, 4), reach, isMarkBlue) > 20; }));
        QThread::msleep(300);
        QCOMPARE(countAround(x_->screenshot(), plane(1, 1), reach, isMarkBlue), 0);
        // A press above A takes A there, and the mouse puts the keyboard's ring away.
        QVERIFY(x_->xdotool(at(plane(1, 7))));
        QVERIFY(x_->xdotool({"click", "1"}));
        QVERIFY(XSession::waitFor(
            [&] { return countAround(x_->screenshot(), plane(1, 7), int(3 * zoom), isRed) > 5; }));
        QThread::msleep(300);
        QCOMPARE(countAround(x_->screenshot(), plane(1, 4), reach, isMarkBlue), 0);
    }

    void zoomStaysOnScreen_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("steps");
        QTest::newRow("1920x1080, Ctrl++") << QSize(1920, 1080) << QStringList() << 8;
        QTest::newRow("1366x768, Ctrl++") << QSize(1366, 768) << QStringList() << 8;
        QTest::newRow("3840x2160, Ctrl++") << QSize(3840, 2160) << QStringList() << 8;
        QTest::newRow("1366x768, --zoom 400")
            << QSize(1366, 768) << QStringList{"--zoom", "400"} << 0;
    }
    void zoomStaysOnScreen() {
        QFETCH(QSize, screen);
        QFETCH(QStringList, arguments);
        QFETCH(int, steps);
        START_X(screen, XSession::Manager::Openbox);
        requireProgram(DORVANE_PATH);
        const QString id = x_->launch(DORVANE_PATH, arguments, "两点间的距离公式");
        QVERIFY(!id.isEmpty());
        const QRect desk(QPoint(), screen);
        QRect frame;
        // Settled: the frame framed and the same twice running.
        const auto settle = [&](QSize from) {
            XSession::waitFor([&] { return x_->clientGeometry(id).size() != from; }, 1500);
            return XSession::waitFor([&] {
                const QRect was = x_->frameGeometry(id);
                QThread::msleep(150);
                frame = x_->frameGeometry(id);
                return frame == was && frame != x_->clientGeometry(id);
            });
        };
        QVERIFY(settle(QSize()));
        // Two steps that change nothing: the zoom is at its largest, and so stays.
        for (int step = 0, still = 0; step <= steps && still < 2; ++step) {
            if (step > 0) {
                const QSize before = x_->clientGeometry(id).size();
                QVERIFY(x_->xdotool({"key", "ctrl+plus"}));
                QVERIFY(settle(before));
                still = x_->clientGeometry(id).size() == before ? still + 1 : 0;
            }
            // The second pass that moves the window comes 200 ms after the window system's
            // last answer; on a loaded machine that can be later than the frame looks settled.
            XSession::waitFor([&] { return desk.contains(frame = x_->frameGeometry(id)); }, 3000);
            QVERIFY2(desk.contains(frame), qPrintable(QString("step %1: frame %2,%3 %4x%5")
                                                          .arg(step)
                                                          .arg(frame.x())
                                                          .arg(frame.y())
                                                          .arg(frame.width())
                                                          .arg(frame.height())));
        }
        const QSize client = x_->clientGeometry(id).size();
        QVERIFY(client == QSize(2096, 1968) || frame.height() > screen.height() - 492 / 100 - 1);
    }

    // F11 and Escape put the window back where it was, at its size; a lesson started at
    // full screen comes to the screen with its title bar on it.
    void fullScreenReturnsToTheWindow_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("F11, Escape") << QStringList{"--zoom", "125"};
        QTest::newRow("--fullscreen, Escape") << QStringList{"--fullscreen"};
    }
    void fullScreenReturnsToTheWindow() {
        QFETCH(QStringList, arguments);
        START_X(QSize(1366, 768), XSession::Manager::Openbox);
        requireProgram(DORVANE_PATH);
        const QString id = x_->launch(DORVANE_PATH, arguments, "两点间的距离公式");
        QVERIFY(!id.isEmpty());
        const QRect screen(0, 0, 1366, 768);
        const auto isFull = [&] { return x_->clientGeometry(id) == screen; };
        QRect before;
        if (arguments.contains("--fullscreen")) {
            QVERIFY(XSession::waitFor(isFull));
        } else {
            QVERIFY(!settled(id).isEmpty());
            before = x_->frameGeometry(id);
            QVERIFY(x_->xdotool({"key", "F11"}));
            QVERIFY(XSession::waitFor(isFull));
        }
        QVERIFY(x_->xdotool({"key", "Escape"}));
        // Back to the window's own size (openbox first frames the full-screen size), settled.
        QVERIFY(XSession::waitFor([&] { return x_->clientGeometry(id).width() < screen.width(); }));
        QVERIFY(!settled(id).isEmpty());
        const QRect after = x_->frameGeometry(id);
        QVERIFY2(screen.contains(after), qPrintable(QString("frame %1,%2 %3x%4")
                                                        .arg(after.x())
                                                        .arg(after.y())
                                                        .arg(after.width())
                                                        .arg(after.height())));
        if (!before.isNull()) QCOMPARE(after, before);
    }

    // A screen that changes its size under a full-screen lesson: the window follows it and
    // the lesson is laid out anew, its figure whole.
    void fullScreenFollowsTheScreen() {
        START_X(QSize(1920, 1080), XSession::Manager::Openbox, XSession::Screen::Resizable);
        requireProgram(DORVANE_PATH);
        const QString id = x_->launch(DORVANE_PATH, {"--fullscreen"}, "两点间的距离公式");
        QVERIFY(!id.isEmpty());
        QVERIFY(
            XSession::waitFor([&] { return x_->clientGeometry(id) == QRect(0, 0, 1920, 1080); }));
        QVERIFY(x_->resizeScreen(QSize(1280, 720)));
        const double fit = 720.0 / 492;
        const QPoint client(int((1280 - std::lround(524 * fit)) / 2), 0);
        QVERIFY(
            XSession::waitFor([&] { return x_->clientGeometry(id) == QRect(0, 0, 1280, 720); }));
        QVERIFY(XSession::waitFor([&] {
            return countAround(x_->screenshot(), zoomedPlanePixel(client, fit, 4, 5), 4, isRed) > 8;
        }));
    }

private:
    // The window's client area once the window manager has framed it and it has kept still
    // for a moment; an empty rectangle if it did not settle.
    QRect settled(const QString& id) {
        QRect client;
        const bool still = XSession::waitFor([&] {
            const QRect was = x_->clientGeometry(id);
            QThread::msleep(300);
            client = x_->clientGeometry(id);
            return client == was && x_->frameGeometry(id) != client;
        });
        return still ? client : QRect();
    }
    void requireProgram(const char* path) {
        if (*path == '\0') QSKIP("the lesson is not built");
    }
    bool openAndCloseHint(QPoint emblem) {
        const auto hintShown = [this] {
            return x_->xdotool({"search", "--onlyvisible", "--name", "^提示$"});
        };
        return x_->xdotool(at(emblem)) && x_->xdotool({"click", "1"}) &&
               XSession::waitFor(hintShown) && x_->xdotool({"key", "Return"}) &&
               XSession::waitFor([&] { return !hintShown(); });
    }
    std::unique_ptr<XSession> x_;
};

QTEST_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
