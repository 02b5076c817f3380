// SPDX-License-Identifier: GPL-3.0-or-later
// Zoom, full screen and the teacher's keys: the lesson never notices them, the picture is
// drawn afresh at every size and stays sharp, and the keys do what the help box says.
#include <QApplication>
#include <QDir>
#include <QGlyphRun>
#include <QLabel>
#include <QMessageBox>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QWidget>
#include <QWindow>

#include "canvas.h"
#include "image.h"
#include "lessonapp.h"
#include "lessontest.h"
#include "zoom.h"

using lessontest::run;

namespace {

// Everything the lesson keeps, without the zoom itself and the drawing already reported.
std::string lessonState(replay::Session& session) {
    std::string state = session.takeState();
    const size_t zoom = state.find(",\"zoom\":");
    return state.substr(0, zoom) + state.substr(state.find(",\"messages\""));
}

void press(QWidget& window, const char* keys) {
    const QKeySequence sequence = QKeySequence::fromString(QString::fromLatin1(keys));
    QTest::keyClick(&window, sequence[0].key(), sequence[0].keyboardModifiers());
    // Full screen is sized by the window system, which answers through the event queue.
    QCoreApplication::processEvents();
}

const char* const kScripts[][2] = {
    {"dorvane", "wait 20\ndown 6 2\nmove 7 3 1\nmove 9 1 1\nclick Command1\nwait 2000"},
    {"skelvin", "wait 3000\ndown 4 5\nmove 5 3 1\nmove 2 6 1\nmove 6 6 1\nwait 1000"},
    {"quillet", "move 3 1\nmove -4 6\nmove 2.5 10"},
};

}  // namespace

class ZoomTest : public QObject {
    Q_OBJECT
private slots:
    void zoomSteps_data();
    void zoomSteps();
    void lessonIgnoresZoom_data();
    void lessonIgnoresZoom();
    void redrawnNotScaled_data();
    void redrawnNotScaled();
    void axesStaySharp();
    void fullScreenFitsAndCentres();
    void windowKeepsToTheScreen_data();
    void windowKeepsToTheScreen();
    void fullScreenKeepsToTheScreen();
    void emblemDrawnSmaller_data();
    void emblemDrawnSmaller();
    void copyAndSave();
    void helpAndMessageButtons();
    void helpListsTheCanvasKeys_data();
    void helpListsTheCanvasKeys();
    void dialogsSetChineseInTheLessonsFace();
    void commandLine_data();
    void commandLine();
};

void ZoomTest::zoomSteps_data() {
    QTest::addColumn<double>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<double>("expected");
    QTest::newRow("in stops at 400") << 300.0 << "Ctrl++ Ctrl++ Ctrl++" << 400.0;
    QTest::newRow("out stops at 100") << 125.0 << "Ctrl+- Ctrl+-" << 100.0;
    QTest::newRow("out from a start below the steps stays") << 50.0 << "Ctrl+-" << 50.0;
    QTest::newRow("in from between steps") << 110.0 << "Ctrl++" << 125.0;
}

void ZoomTest::zoomSteps() {
    QFETCH(double, start);
    QFETCH(QString, keys);
    QFETCH(double, expected);
    for (const char* lesson : {"dorvane", "quillet"}) {
        replay::Session session(lesson);
        forms::LessonWindow& window = session.window();
        const QSize design = window.size();
        window.setZoomPercent(start);
        for (const QString& key : keys.split(' ')) press(window, qPrintable(key));
        QCOMPARE(window.zoomPercent(), expected);
        // The client area grows with the zoom, edge to edge.
        QCOMPARE(window.size(), (QSizeF(design) * expected / 100).toSize());
        QCOMPARE(session.form().window().size(), window.size());
    }
}

void ZoomTest::lessonIgnoresZoom_data() {
    QTest::addColumn<QString>("lesson");
    QTest::addColumn<QString>("script");
    for (const auto& [lesson, script] : kScripts) QTest::newRow(lesson) << lesson << script;
}

void ZoomTest::lessonIgnoresZoom() {
    QFETCH(QString, lesson);
    QFETCH(QString, script);
    const QStringList lines = script.split('\n');
    replay::Session plain(lesson.toStdString());
    replay::Session zoomed(lesson.toStdString());
    // The zoom changes between every two steps; nothing the lesson holds may follow it.
    const double zooms[] = {250, 125, 400, 175, 100, 300};
    for (qsizetype i = 0; i < lines.size(); ++i) {
        zoomed.window().setZoomPercent(zooms[i % std::size(zooms)]);
        run(plain, lines[i].toStdString());
        run(zoomed, lines[i].toStdString());
    }
    press(zoomed.window(), "F11");
    run(plain, "wait 500");
    run(zoomed, "wait 500");
    QCOMPARE(lessonState(zoomed), lessonState(plain));
}

void ZoomTest::redrawnNotScaled_data() {
    lessonIgnoresZoom_data();
}

// A lesson run at 100 % and then zoomed shows what the same lesson run zoomed from the
// start shows: the canvas's drawing is made again from its calls, not enlarged.
void ZoomTest::redrawnNotScaled() {
    QFETCH(QString, lesson);
    QFETCH(QString, script);
    replay::Session late(lesson.toStdString());
    replay::Session early(lesson.toStdString());
    early.window().setZoomPercent(250);
    run(late, script.toStdString());
    run(early, script.toStdString());
    late.window().setZoomPercent(250);
    // Labels outside the canvas may differ by glyph placement alone; the canvas may not.
    const auto canvasPicture = [](replay::Session& session) {
        QWidget& view = lessontest::canvas(session).widget();
        return session.render().copy(QRect(view.mapTo(&session.form().window(), QPoint()),
                                           view.size() * view.devicePixelRatio()));
    };
    const QImage picture = canvasPicture(late);
    QCOMPARE(picture.size(), canvasPicture(early).size());
    QVERIFY(picture == canvasPicture(early));
}

void ZoomTest::axesStaySharp() {
    replay::Session session("dorvane");
    session.window().setZoomPercent(250);
    run(session, "wait 20");
    auto& picture = lessontest::canvas(session);
    const QImage image = session.render().convertToFormat(QImage::Format_RGB32);
    QWidget& view = picture.widget();
    const QPoint corner = view.mapTo(&session.form().window(), QPoint());
    const QRect inside = QRect(corner, view.size()).adjusted(20, 20, -20, -20);
    // Across the y axis at y = 3.5 (a row) and the x axis at x = 5.5 (a column), between
    // ticks and numbers: ink on paper with nothing in between, the axis's two pixels
    // five device pixels wide.
    const QPointF cross = picture.scale().toPixels(0, 3.5) * 2.5;
    const QPointF crossX = picture.scale().toPixels(5.5, 0) * 2.5;
    const auto check = [&](QPoint from, QPoint step) {
        const QRgb paper = image.pixel(from);
        QRgb ink = paper;
        int inked = 0, blended = 0;
        for (QPoint at = from; inside.contains(at) && at != from + 30 * step; at += step) {
            const QRgb pixel = image.pixel(at);
            if (pixel == paper) continue;
            if (ink == paper) ink = pixel;
            if (pixel == ink)
                ++inked;
            else
                ++blended;
        }
        QCOMPARE(blended, 0);
        QCOMPARE(inked, 5);
    };
    check(corner + QPoint(int(cross.x()) - 15, int(cross.y())), QPoint(1, 0));
    check(corner + QPoint(int(crossX.x()) + 12, int(crossX.y()) - 15), QPoint(0, 1));
}

void ZoomTest::fullScreenFitsAndCentres() {
    replay::Session session("skelvin");
    forms::LessonWindow& window = session.window();
    window.setZoomPercent(150);
    const QSize windowed = window.size();
    press(window, "F11");
    QVERIFY(window.isPresenting());
    const QSize screen = window.screen()->geometry().size();
    QCOMPARE(window.size(), screen);
    const QRect client = session.form().window().geometry();
    // It touches two opposite edges and is centred between the other two.
    QVERIFY(client.width() == screen.width() || client.height() == screen.height());
    QVERIFY(std::abs(client.left() - (screen.width() - client.right() - 1)) <= 1);
    QVERIFY(std::abs(client.top() - (screen.height() - client.bottom() - 1)) <= 1);
    QCOMPARE(window.picture().size(), client.size() * window.devicePixelRatio());
    // The zoom keys leave full screen alone; Escape returns to the window as it was.
    press(window, "Ctrl++");
    QCOMPARE(session.form().window().geometry(), client);
    press(window, "Escape");
    QVERIFY(!window.isPresenting());
    QCOMPARE(window.zoomPercent(), 150.0);
    // Here no window manager gives the size back: the window takes it once settled.
    QTRY_COMPARE(window.size(), windowed);
}

void ZoomTest::windowKeepsToTheScreen_data() {
    QTest::addColumn<QString>("lesson");
    QTest::addColumn<QRect>("area");
    QTest::newRow("dorvane, 1366x768") << "dorvane" << QRect(0, 0, 1366, 768);
    QTest::newRow("quillet, 1920x1080 less a panel") << "quillet" << QRect(0, 0, 1920, 1040);
    QTest::newRow("skelvin, a second screen") << "skelvin" << QRect(1366, 100, 1024, 768);
}

// Each step up keeps the framed window within the area; where a step would not fit, the
// zoom is the largest that does (one percent more would not), and a step down from it is
// the step below.
void ZoomTest::windowKeepsToTheScreen() {
    QFETCH(QString, lesson);
    QFETCH(QRect, area);
    replay::Session session(lesson.toStdString());
    session.desktop().area = area;
    forms::LessonWindow& window = session.window();
    const QSize design = session.form().designSize();
    window.move(area.right() - 100, area.bottom() - 100);
    QCoreApplication::processEvents();
    const QMargins frame = window.windowHandle()->frameMargins();
    const auto fits = [&](double percent) {
        return area.size().shrunkBy(frame).boundedTo((QSizeF(design) * percent / 100).toSize()) ==
               (QSizeF(design) * percent / 100).toSize();
    };
    double last = 100;
    for (int step = 0; step < 8; ++step) {
        press(window, "Ctrl++");
        QTRY_VERIFY2(area.contains(window.frameGeometry()),
                     qPrintable(QString::number(window.zoomPercent())));
        QCOMPARE(window.size(), (QSizeF(design) * window.zoomPercent() / 100).toSize());
        last = window.zoomPercent();
    }
    if (last < 400) {
        QVERIFY(fits(last));
        QVERIFY(!fits(last + 1));
        press(window, "Ctrl+-");
        QCOMPARE(window.zoomPercent(), forms::zoomStepBelow(last));
    }
}

// A full-screen window left larger than its screen for a while (a window manager late to
// follow a screen that shrank) shows the whole lesson on the screen.
void ZoomTest::fullScreenKeepsToTheScreen() {
    replay::Session session("dorvane");
    forms::LessonWindow& window = session.window();
    press(window, "F11");
    const QRect screen = window.screen()->geometry();
    window.resize(screen.size() + QSize(300, 200));
    QCoreApplication::processEvents();
    const QRect client = session.form().window().geometry();
    QVERIFY(client.width() == screen.width() || client.height() == screen.height());
    QVERIFY(QRect(window.mapFromGlobal(screen.topLeft()), screen.size()).contains(client));
}

void ZoomTest::emblemDrawnSmaller_data() {
    QTest::addColumn<double>("zoom");
    QTest::newRow("50 %") << 50.0;
    QTest::newRow("75 %") << 75.0;
    QTest::newRow("150 %") << 150.0;
}

// The hint emblem's ink spans the zoom's share of what it spans at 100 %, not a piece of it.
void ZoomTest::emblemDrawnSmaller() {
    QFETCH(double, zoom);
    const auto inkBounds = [](double percent) {
        replay::Session session("dorvane");
        session.window().setZoomPercent(percent);
        const auto* emblem = dynamic_cast<forms::Image*>(session.form().control("Image2"));
        const QRectF place = emblem->pixelBounds();
        const QImage picture = session.render();
        const qreal scale = percent / 100 * picture.devicePixelRatio();
        const QRect area(QRectF(place.topLeft() * scale, place.size() * scale).toAlignedRect());
        QRect ink;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qGray(picture.pixel(x, y)) < 200)
                    ink |= QRect(x - area.left(), y - area.top(), 1, 1);
        return ink;
    };
    const QRect whole = inkBounds(100);
    const QRect zoomed = inkBounds(zoom);
    QVERIFY(!whole.isEmpty());
    QVERIFY2(std::abs(zoomed.width() - whole.width() * zoom / 100) <= 2 &&
                 std::abs(zoomed.height() - whole.height() * zoom / 100) <= 2,
             qPrintable(QString("%1x%2 against %3x%4")
                            .arg(zoomed.width())
                            .arg(zoomed.height())
                            .arg(whole.width())
                            .arg(whole.height())));
}

void ZoomTest::copyAndSave() {
    replay::Session session("quillet");
    session.window().setZoomPercent(175);
    run(session, "move 3 1");
    press(session.window(), "Ctrl+C");
    QCOMPARE(session.desktop().copied, session.render());
    QCOMPARE(session.desktop().copied.size(), session.window().size());

    QTemporaryDir folder;
    const QString target = folder.filePath("窗口.png");
    session.desktop().nextSaveName = target;
    press(session.window(), "Ctrl+S");
    QCOMPARE(QImage(target).convertToFormat(QImage::Format_RGB32),
             session.render().convertToFormat(QImage::Format_RGB32));
    QVERIFY(session.messages().empty());

    // Into a folder that does not exist: a box in Chinese, and nothing written anywhere.
    session.desktop().nextSaveName = folder.filePath("missing/窗口.png");
    press(session.window(), "Ctrl+S");
    QCOMPARE(session.messages().size(), size_t(1));
    QCOMPARE(session.messages().back().title, std::string("保存图片"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"窗口.png"});
    // Cancelled: nothing at all.
    session.desktop().nextSaveName.reset();
    press(session.window(), "Ctrl+S");
    QCOMPARE(session.messages().size(), size_t(1));
}

void ZoomTest::helpAndMessageButtons() {
    replay::Session session("quillet");
    press(session.window(), "F1");
    run(session, "text Text4 1\ntext Text5 5\nclick Command4");
    QCOMPARE(session.messages().size(), size_t(2));
    const forms::Message& help = session.messages()[0];
    QCOMPARE(help.title, std::string("帮助"));
    for (const char* mention : {"Ctrl+R", "F11", "Ctrl+S", LESSONS_VERSION, "GPL-3.0-or-later"})
        QVERIFY2(help.text.find(mention) != std::string::npos, mention);
    for (const forms::Message& message : session.messages())
        QCOMPARE(message.buttons, std::vector<std::string>{"确定"});
}

// The help names the keys of each lesson's canvas with what they step, and at full screen
// it is as large as the lesson.
void ZoomTest::helpListsTheCanvasKeys_data() {
    QTest::addColumn<QString>("lesson");
    QTest::addColumn<QStringList>("mentions");
    QTest::addColumn<bool>("selects");
    QTest::newRow("dorvane") << "dorvane"
                             << QStringList{"方向键", "移动 0.1", "Shift+方向键", "移动 1",
                                            "A 或 B"}
                             << true;
    QTest::newRow("skelvin") << "skelvin" << QStringList{"移动 0.1", "移动 1", "P₁ 或 P₂"} << true;
    QTest::newRow("quillet") << "quillet"
                             << QStringList{"方向键", "移动 0.5", "Shift+方向键", "移动 0.1"}
                             << false;
}

void ZoomTest::helpListsTheCanvasKeys() {
    QFETCH(QString, lesson);
    QFETCH(QStringList, mentions);
    QFETCH(bool, selects);
    replay::Session session(lesson.toStdString());
    press(session.window(), "F11");
    press(session.window(), "F1");
    const forms::Message& help = session.messages().at(0);
    for (const QString& mention : mentions + QStringList{"Tab", "回车键"})
        QVERIFY2(help.text.find(mention.toStdString()) != std::string::npos, qPrintable(mention));
    // Space on the canvas switches the point only where there are two.
    QCOMPARE(help.text.find("空格键</td>") != std::string::npos, selects);
    QVERIFY(help.zoom > 1);
    QCOMPARE(help.zoom, session.window().zoomPercent() / 100);
}

// A message box is set in the CJK sans face whatever the locale (the test runs under
// several), Latin letters too: one face, not two faces mixed in a line.
void ZoomTest::dialogsSetChineseInTheLessonsFace() {
    replay::Session session("dorvane");
    QMessageBox box(QMessageBox::NoIcon, "帮助", "确定", QMessageBox::Ok);
    const QFont font = box.findChild<QLabel*>("qt_msgbox_label")->font();
    const auto faceOf = [&](const QString& text) {
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        return runs.size() == 1 ? runs[0].rawFont().familyName() : QStringLiteral("several faces");
    };
    QCOMPARE(faceOf("确定帮助"), "Noto Sans CJK SC");
    QCOMPARE(faceOf("确定 Ctrl+R"), "Noto Sans CJK SC");
}

void ZoomTest::commandLine_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");  // -1: starts
    QTest::addColumn<double>("zoom");
    QTest::addColumn<bool>("fullScreen");
    QTest::newRow("nothing") << "" << -1 << 100.0 << false;
    QTest::newRow("zoom") << "--zoom 150" << -1 << 150.0 << false;
    QTest::newRow("zoom with percent") << "--zoom=62.5%" << -1 << 62.5 << false;
    QTest::newRow("highest, full screen") << "--fullscreen --zoom 400" << -1 << 400.0 << true;
    QTest::newRow("too small") << "--zoom 49.9" << 2 << 0.0 << false;
    QTest::newRow("too large") << "--zoom 401" << 2 << 0.0 << false;
    QTest::newRow("not a number") << "--zoom big" << 2 << 0.0 << false;
    QTest::newRow("unknown option") << "--zoomed 150" << 2 << 0.0 << false;
    QTest::newRow("stray argument") << "150" << 2 << 0.0 << false;
    QTest::newRow("version") << "--version" << 0 << 0.0 << false;
    QTest::newRow("help") << "--help" << 0 << 0.0 << false;
}

void ZoomTest::commandLine() {
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(double, zoom);
    QFETCH(bool, fullScreen);
    QStringList words{"dorvane"};
    if (!arguments.isEmpty()) words += arguments.split(' ');
    const auto parsed = forms::parseStartOptions(words);
    if (status < 0) {
        QVERIFY(std::holds_alternative<forms::StartOptions>(parsed));
        QCOMPARE(std::get<forms::StartOptions>(parsed).zoomPercent, zoom);
        QCOMPARE(std::get<forms::StartOptions>(parsed).fullScreen, fullScreen);
        return;
    }
    QVERIFY(std::holds_alternative<forms::StartExit>(parsed));
    const forms::StartExit& exit = std::get<forms::StartExit>(parsed);
    QCOMPARE(exit.status, status);
    QVERIFY(!exit.text.empty());
    if (arguments == "--version") {
        QVERIFY(exit.text.find(LESSONS_VERSION) != std::string::npos);
        QVERIFY(exit.text.find("GPL-3.0-or-later") != std::string::npos);
    }
    if (arguments == "--help") QVERIFY(exit.text.find("--fullscreen") != std::string::npos);
}

QTEST_MAIN(ZoomTest)
#include "tst_zoom.moc"
