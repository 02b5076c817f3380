// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <cfloat>
#include <cmath>
#include <numbers>

#include "clocks.h"
#include "form.h"
#include "picture.h"
#include "windowrepaints.h"

using namespace forms;

namespace {

// A window with one canvas scaled like the lessons' plane, a label and a line inside it.
class CanvasForm : public Form {
public:
    explicit CanvasForm(FormEnvironment& environment)
        : Form(environment, {.caption = "canvas", .clientWidth = 7860, .clientHeight = 7380}) {
        canvas = addCanvas({.name = "Picture1",
                            .rect = {120, 120, 7500, 5500},
                            .backColor = SystemColor::MenuBar});
        label = addLabel({.name = "Label1", .rect = {0, 0, 600, 330}, .caption = "A"}, canvas);
        line = addLine({.name = "Line1", .x1 = 0, .y1 = 0, .x2 = 100, .y2 = 0}, canvas);
        dotted = addLine(
            {.name = "Line2", .style = LineStyle::DashDot, .width = 2, .visible = false}, canvas);
        wide = addLine({.name = "Line3", .width = 3, .visible = false}, canvas);
        tag = addLabel({.name = "Label2",
                        .rect = {5000, 4000, 600, 330},
                        .caption = "W",
                        .visible = false,
                        .transparent = true},
                       canvas);
        if (!canvas->setScale(-2, 8, 13, -3)) qFatal("the plane's scale was refused");
        canvas->onMouseDown = [this](const MouseEvent& event) { presses.push_back(event); };
        canvas->onMouseMove = [this](const MouseEvent& event) { moves.push_back(event); };
    }
    Canvas* canvas;
    Label* label;
    LineShape* line;
    LineShape* dotted;
    LineShape* wide;
    Label* tag;
    std::vector<MouseEvent> presses;
    std::vector<MouseEvent> moves;
};

// The pixels of every paint a widget gets.
class PaintedArea : public QObject {
public:
    qint64 pixels = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
                pixels += qint64(rect.width()) * rect.height();
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

class TestCanvas : public QObject {
    Q_OBJECT
private slots:
    void init() {
        form_ = std::make_unique<CanvasForm>(environment_);
        form_->window().show();
    }
    void cleanup() { form_.reset(); }
    void screenDrawingErasedOnlyWhereAControlChanged() {
        form_->canvas->setDrawWidth(3);
        form_->canvas->line(5, 1, 9, 1, kBlue);
        form_->canvas->line(5, 5, 9, 5, kBlue);
        QCOMPARE(pixelAt(6, 1), QColor(Qt::blue));
        form_->label->setLeft(5.5f);  // lands on the lower line's left part
        form_->label->setTop(1.2f);
        form_->label->setVisible(false);
        QCOMPARE(pixelAt(5.6, 1), toQColor(SystemColor::MenuBar));
        QCOMPARE(pixelAt(8.5, 1), QColor(Qt::blue));
        QCOMPARE(pixelAt(6, 5), QColor(Qt::blue));
        // Drawing just after a move, before the window repaints, is not erased by it, nor
        // when the layer is drawn again at another zoom.
        form_->line->setEnds(5, 5, 9, 5);
        form_->canvas->line(5, 5, 9, 5, kRed);
        QCOMPARE(pixelAt(7, 5 - 1 / 33.0), QColor(Qt::red));
        form_->setZoom(2);
        grab();
        form_->setZoom(1);
        QCOMPARE(pixelAt(7, 5 - 1 / 33.0), QColor(Qt::red));
    }
    // A repaint of part of a slanted dash-dotted line continues its dashes where they were.
    void dashedLineRepaintedInPartKeepsItsPhase() {
        QVERIFY(QTest::qWaitForWindowExposed(form_->window().window()));
        form_->label->setLeft(6);
        form_->label->setTop(2.5f);
        form_->dotted->setEnds(-1.3f, 7.1f, 12.4f, -2.2f);
        form_->dotted->setVisible(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        form_->label->setLeft(-1);  // its old place, across the line, is repainted alone
        QCOMPARE(repaintedOnScreen(), grab().convertToFormat(QImage::Format_RGB32));
    }
    // An upright dash-dotted line begins with a dash at its start, whichever way it runs,
    // and at any zoom: 4, 2, 1, 2 times its width of 2, in device pixels.
    void dashDotLineBeginsWithADash_data() {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<float>("startY");
        QTest::addColumn<float>("endY");
        QTest::newRow("up") << 1 << -2.0f << 7.5f;
        QTest::newRow("down") << 1 << 7.3f << -2.0f;
        QTest::newRow("down, zoomed") << 2 << 7.3f << -2.0f;
        QTest::newRow("up, zoomed") << 2 << -2.0f << 6.0f;
    }
    void dashDotLineBeginsWithADash() {
        QFETCH(int, zoom);
        QFETCH(float, startY);
        QFETCH(float, endY);
        form_->setZoom(zoom);
        form_->dotted->setVisible(true);
        const QPointF start = form_->canvas->scale().toPixels(3, startY) * zoom;
        const QPoint inner = form_->canvas->widget().pos() + 2 * QPoint(zoom, zoom);
        const int x = inner.x() + int(std::lround(start.x()));
        const int from = inner.y() + int(std::lround(start.y()));
        const int step = endY > startY ? -1 : 1;
        QString expected;
        for (const auto& [ink, run] : {std::pair{'x', 8}, {'.', 4}, {'x', 2}, {'.', 4}})
            expected += QString(run * zoom, QChar(ink));
        // Drawn again a little longer, as a drag would: the dashes keep to the start.
        for (const float longer : {0.0f, 0.2f, 0.4f}) {
            form_->dotted->setEnds(3, startY, 3, endY + (endY > startY ? longer : -longer));
            const QImage image = grab();
            QString seen;
            for (int row = 0; row < 18 * zoom; ++row)
                seen += image.pixelColor(x, from + step * row + (step < 0 ? -1 : 0)) == Qt::black
                            ? 'x'
                            : '.';
            QCOMPARE(seen, expected);
        }
    }
    // Changes far apart in one step are repainted as several rectangles, near ones as one;
    // either way the screen shows what a full repaint shows.
    void scatteredChangesRepaintLikeAWhole() {
        QVERIFY(QTest::qWaitForWindowExposed(form_->window().window()));
        form_->dotted->setVisible(true);
        form_->line->setEnds(-1, 7, 12, 7);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        for (int step = 0; step < 4; ++step) {
            form_->label->setLeft(-1.5f + 9 * float(step % 2));
            form_->label->setTop(7.5f - 3 * float(step));
            form_->label->setCaption(step % 2 ? "A(12.5,-2)" : "B");
            form_->line->setEnds(-1, 7 - float(step), 12, 6 - 2 * float(step));
            form_->dotted->setEnds(3 + float(step), -2, 3 + float(step), 7.5f);
            QCOMPARE(repaintedOnScreen(), grab().convertToFormat(QImage::Format_RGB32));
        }
    }
    // A long slanted line on a large screen is repainted in pieces along it: less than half
    // the pixels of the rectangle round it, and the screen shows what a full repaint shows,
    // with screen-only drawing erased anywhere in that rectangle, as before.
    void longSlantedLineRepaintedInPieces() {
        QVERIFY(QTest::qWaitForWindowExposed(form_->window().window()));
        form_->setZoom(3);
        Canvas& canvas = *form_->canvas;
        LineShape& line = *form_->wide;
        line.setVisible(true);
        line.setEnds(-1, 7, 12, -2);
        canvas.setDrawWidth(3);
        canvas.line(9, 5, 11, 5, kBlue);  // inside both lines' bounds, away from them
        const auto blue = [this] {
            const QImage image = grab();
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += image.pixel(x, y) == qRgb(0, 0, 255);
            return count;
        };
        QVERIFY(blue() > 100);
        repaintedOnScreen();
        PaintedArea painted;
        canvas.widget().installEventFilter(&painted);
        line.setEnds(-1, 6, 12, -3);
        const QImage onScreen = repaintedOnScreen();
        const QRectF bounds = line.pixelBounds();
        QVERIFY2(painted.pixels * 2 < qint64(bounds.width() * bounds.height() * 9),
                 qPrintable(QString::number(painted.pixels)));
        QCOMPARE(onScreen, grab().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(blue(), 0);
    }
    // A line wider than a pixel ends round: on its axis the ink reaches past both ends.
    void wideLineEndsRound() {
        form_->wide->setVisible(true);
        form_->wide->setEnds(2, 3, 6, 3);
        const QPointF from = form_->canvas->scale().toPixels(2, 3);
        const QPointF to = form_->canvas->scale().toPixels(6, 3);
        const QImage image = grab();
        const QPoint origin = form_->canvas->widget().pos() + QPoint(2, 2);
        int inked = 0;
        for (int x = int(from.x()) - 5; x <= int(to.x()) + 5; ++x)
            inked += qGray(image.pixel(origin + QPoint(x, int(from.y())))) < 128 ? 1 : 0;
        QVERIFY2(inked >= std::lround(to.x() - from.x()) + 2, qPrintable(QString::number(inked)));
    }
    // A lesson that clears and draws again at every movement: the same drawing repaints no
    // more than a pixel, and fewer, more or other calls show what a full repaint shows.
    void clearAndRedraw_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("colour");
        QTest::newRow("the same again") << 3 << int(kBlue);
        QTest::newRow("fewer") << 2 << int(kBlue);
        QTest::newRow("more") << 4 << int(kBlue);
        QTest::newRow("another colour") << 3 << int(kRed);
        QTest::newRow("nothing") << 0 << int(kBlue);
    }
    void clearAndRedraw() {
        QFETCH(int, lines);
        QFETCH(int, colour);
        QVERIFY(QTest::qWaitForWindowExposed(form_->window().window()));
        Canvas& canvas = *form_->canvas;
        canvas.setAutoRedraw(true);
        canvas.setDrawWidth(3);
        const auto draw = [&canvas](int count, Color ink) {
            canvas.cls();
            for (int i = 0; i < count; ++i) canvas.line(-1, 1 + 2 * i, 12, 2 + 2 * i, ink);
        };
        draw(3, kBlue);
        repaintedOnScreen();
        PaintedArea painted;
        canvas.widget().installEventFilter(&painted);
        draw(lines, Color(colour));
        const QImage onScreen = repaintedOnScreen();
        if (lines == 3 && colour == int(kBlue)) QCOMPARE(painted.pixels, 1);
        QCOMPARE(onScreen, grab().convertToFormat(QImage::Format_RGB32));
        const QColor ground = toQColor(SystemColor::MenuBar);
        QCOMPARE(pixelAt(5.5, 1.5), lines > 0 ? toQColor(Color(colour)) : ground);
        QCOMPARE(pixelAt(5.5, 5.5), lines > 2 ? toQColor(Color(colour)) : ground);
    }
    // A transparent label drawn again at another size, in the memory of its earlier drawing,
    // shows its new caption and nothing of the old, and the canvas round its letters.
    void labelDrawnAgainShowsOnlyItsCaption() {
        const QImage behind = grab();
        form_->tag->setVisible(true);
        for (const char* caption : {"ij", "WWWWWW", "i"}) {
            form_->tag->setCaption(caption);
            const QImage shown = grab();
            const QPoint corner = form_->tag->pixelBounds().toRect().topLeft() +
                                  form_->canvas->widget().pos() + QPoint(2, 2);
            QCOMPARE(shown.pixel(corner), behind.pixel(corner));
            CanvasForm fresh(environment_);
            fresh.window().show();
            fresh.tag->setVisible(true);
            fresh.tag->setCaption(caption);
            QCOMPARE(fresh.window().grab().toImage(), shown);
        }
    }
    // A picture over a see-through background keeps its alpha at every ratio, where one
    // over a colour may be kept without it.
    void pictureKeepsWhatShowsThrough() {
        const auto dot = [](QPainter& painter) { painter.fillRect(4, 4, 2, 2, Qt::red); };
        const Picture clear(QSize(10, 10), dot, Qt::transparent);
        const Picture white(QSize(10, 10), dot);
        for (const qreal ratio : {1.0, 2.5}) {
            QCOMPARE(qAlpha(clear.rendered(ratio).pixel(0, 0)), 0);
            QCOMPARE(clear.rendered(ratio).pixelColor(QPoint(5, 5) * ratio), QColor(Qt::red));
            QCOMPARE(white.rendered(ratio).pixel(0, 0), qRgb(255, 255, 255));
        }
    }
    void earlierControlLiesAbove() {
        // The label came before the line: where they cross, the label hides the line.
        form_->label->setLeft(5);
        form_->label->setTop(3.3f);
        const QRectF box = form_->label->pixelBounds();
        const QRect inside = box.toRect()
                                 .adjusted(1, 1, -1, -1)
                                 .translated(form_->canvas->widget().pos() + QPoint(2, 2));
        const QImage alone = grab().copy(inside);
        const float y = float(form_->canvas->scale().toUser(box.center()).y());
        form_->line->setEnds(4, y, 10, y);
        QCOMPARE(grab().copy(inside), alone);
        QCOMPARE(pixelAt(8, y), toQColor(SystemColor::WindowText));
    }
    void colourChangeErasesNothing() {
        form_->line->setEnds(4, 3, 10, 3);
        form_->canvas->setDrawWidth(5);
        form_->canvas->pset(7, 3, kRed);
        form_->line->setBorderColor(kBlue);
        QCOMPARE(pixelAt(7, 3), QColor(Qt::red));
        QCOMPARE(pixelAt(9, 3), QColor(Qt::blue));
        form_->line->setX2(9.5f);  // a move erases where the line lies
        QCOMPARE(pixelAt(7, 3), QColor(Qt::blue));
    }
    void clsErases() {
        form_->canvas->setAutoRedraw(true);
        form_->canvas->setDrawWidth(3);
        form_->canvas->line(5, 6, 9, 6, kRed);
        form_->canvas->setAutoRedraw(false);
        form_->canvas->line(5, 4, 9, 4, kRed);
        form_->canvas->line(-1, -2, 0, -2, kRed);  // far from the other
        grab();                // shown, so that both lines are on the layer the clear empties
        form_->canvas->cls();  // with AutoRedraw off only screen-only drawing goes
        QCOMPARE(pixelAt(7, 4), toQColor(SystemColor::MenuBar));
        // A circle round where the far line was shows none of it.
        form_->canvas->circle(-0.5, -2, 0.4, kBlue, 0, 2 * std::numbers::pi);
        QCOMPARE(pixelAt(-0.5, -2), toQColor(SystemColor::MenuBar));
        QCOMPARE(pixelAt(7, 6), QColor(Qt::red));
        form_->canvas->setAutoRedraw(true);
        form_->canvas->cls();
        QCOMPARE(pixelAt(7, 6), toQColor(SystemColor::MenuBar));
        // A picture of more calls than are kept to compare is erased outright.
        for (int i = 0; i <= 4096; ++i) form_->canvas->pset(7, 6, kRed);
        form_->canvas->cls();
        QCOMPARE(pixelAt(7, 6), toQColor(SystemColor::MenuBar));
        QCOMPARE(form_->canvas->currentX(), -2.0f);
        QCOMPARE(form_->canvas->currentY(), 8.0f);
    }
    void childrenKeepTheirPlaceWhenScaled() {
        form_->label->setLeft(1);
        form_->label->setTop(2);
        const QRectF before = form_->label->pixelBounds();
        QVERIFY(form_->canvas->setScale(0, 100, 100, 0));
        QCOMPARE(form_->label->pixelBounds(), before);
        QCOMPARE(form_->label->left(), float(100.0 * 3 / 15));
    }
    void refusesBadScalesAndSaturatesValues() {
        // Zero width, zero height, a corner or a width beyond the single range.
        QVERIFY(!form_->canvas->setScale(5, 1, 5, -1));
        QVERIFY(!form_->canvas->setScale(0, 1, 1, 1));
        QVERIFY(!form_->canvas->setScale(0, 1, 1e39, 0));
        QVERIFY(!form_->canvas->setScale(-3e38, 1, 3e38, 0));
        QCOMPARE(form_->canvas->scale().left(), -2.0);
        // Drawing beyond the single range saturates; a NaN draws nothing and breaks nothing.
        form_->canvas->line(0, 0, 1e39, -1e39);
        QCOMPARE(form_->canvas->currentX(), FLT_MAX);
        QCOMPARE(form_->canvas->currentY(), -FLT_MAX);
        form_->canvas->pset(qQNaN(), 0);
        form_->canvas->circle(1, 1, 0.5, kRed, 0, qQNaN());
        QCOMPARE(pixelAt(1.5, 1), toQColor(SystemColor::MenuBar));
    }
    void printMovesToTheNextLine() {
        form_->canvas->setCurrentX(3);
        form_->canvas->setCurrentY(5);
        form_->canvas->print(" 3 ");
        QCOMPARE(form_->canvas->currentX(), -2.0f);
        QVERIFY(form_->canvas->currentY() < 5.0f && form_->canvas->currentY() > 4.4f);
    }
    // The advances kept for printed texts are told apart by font as well as by text.
    void keptAdvancesKnowTheirFont() {
        TextAdvances advances;
        const QFont small = toQFont({"宋体", 9});
        const QFont large = toQFont({"宋体", 24});
        const double first = advances.of(small, "2024");
        QCOMPARE(first, QFontMetricsF(small).horizontalAdvance("2024"));
        QCOMPARE(advances.of(large, "2024"), QFontMetricsF(large).horizontalAdvance("2024"));
        QCOMPARE(advances.of(small, "2024"), first);
    }
    void farAwayDrawingIsClipped() {
        form_->canvas->setDrawWidth(2);
        form_->canvas->line(-1e30, 1, 1e30, 1, kRed);
        form_->canvas->circle(3e38, 0, 0.5, kRed, 0, 1);
        form_->canvas->circle(0, 0, 3e38, kRed, 0, 1);
        form_->canvas->setCurrentX(-3e38);
        form_->canvas->print("far");
        QCOMPARE(pixelAt(3, 1), QColor(Qt::red));
        form_->label->setLeft(FLT_MAX);
        form_->line->setEnds(-FLT_MAX, 2, FLT_MAX, 2);
        QCOMPARE(pixelAt(3, 2), QColor(Qt::black));
        form_->line->setEnds(-FLT_MAX, -FLT_MAX, FLT_MAX, FLT_MAX);
        QCOMPARE(pixelAt(3, 1), toQColor(SystemColor::MenuBar));
    }
    void mouseEventsArriveInUserUnits() {
        QWidget& view = form_->canvas->widget();
        const QPoint origin = (form_->canvas->scale().toPixels(0, 0) + QPointF(2, 2)).toPoint();
        QTest::mousePress(&view, Qt::RightButton, Qt::ShiftModifier, origin);
        QCOMPARE(form_->presses.size(), size_t(1));
        QCOMPARE(form_->presses[0].button, int(RightButton));
        QCOMPARE(form_->presses[0].shift, 1);
        QVERIFY(qAbs(form_->presses[0].x) < 0.05f);
        QVERIFY(qAbs(form_->presses[0].y) < 0.05f);
        QMouseEvent drag(QEvent::MouseMove, QPointF(origin + QPoint(33, -33)),
                         view.mapToGlobal(QPointF(origin + QPoint(33, -33))), Qt::NoButton,
                         Qt::LeftButton | Qt::MiddleButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &drag);
        QCOMPARE(form_->moves.back().button, LeftButton | MiddleButton);
        QVERIFY(qAbs(form_->moves.back().x - 1.0f) < 0.05f);
        QVERIFY(qAbs(form_->moves.back().y - 1.0f) < 0.05f);
    }
    // What a handler changes in a pointer event reaches the screen once the event is done.
    void changesInAnEventReachTheScreen() {
        QVERIFY(QTest::qWaitForWindowExposed(form_->window().window()));
        repaintedOnScreen();
        form_->canvas->onMouseMove = [this](const MouseEvent& event) {
            form_->label->setLeft(event.x);
            form_->line->setEnds(-1, event.y, 12, -event.y);
        };
        QWidget& view = form_->canvas->widget();
        const QPointF at = form_->canvas->scale().toPixels(4, 3) + QPointF(2, 2);
        QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
        QCOMPARE(repaintedOnScreen(), grab().convertToFormat(QImage::Format_RGB32));
    }

    // A pointer event's changes reach Qt before the event loop runs again, each step's
    // alone however fast they come; a batch holds only its own window's changes.
    void changesShowAsSoonAsTheirEventIsDone() {
        QVERIFY(QTest::qWaitForWindowExposed(form_->window().window()));
        form_->canvas->onMouseMove = [this](const MouseEvent& event) {
            form_->label->setLeft(event.x);
        };
        for (const double x : {2.0, 7.0, 3.0}) {
            moveTo(*form_, x);
            QCOMPARE(repaintedOnScreen(), grab().convertToFormat(QImage::Format_RGB32));
        }
        CanvasForm other(environment_);
        other.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(other.window().window()));
        {
            const RepaintBatch batch(other.canvas->widget());
            form_->label->setLeft(9);
            QCOMPARE(repaintedOnScreen(), grab().convertToFormat(QImage::Format_RGB32));
            other.label->setLeft(9);
            form_->label->setLeft(5);
            QVERIFY(repaintedOnScreen(other) != fullRepaint(other));
        }
        QCOMPARE(repaintedOnScreen(), grab().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(repaintedOnScreen(other), fullRepaint(other));
    }
    // Asked for in the environment when the window is made, each repainted rectangle shows
    // outlined in a colour of its own for a moment; unasked, nothing is outlined.
    void repaintsOutlinedOnlyWhenAsked() {
        QVERIFY(QTest::qWaitForWindowExposed(form_->window().window()));
        qputenv("LESSONS_SHOW_REPAINTS", "1");
        CanvasForm outlined(environment_);
        qunsetenv("LESSONS_SHOW_REPAINTS");
        outlined.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(outlined.window().window()));
        const auto outlinePixels = [](CanvasForm& form) {
            const QImage shown = repaintedOnScreen(form);
            qsizetype count = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    count += shown.pixel(x, y) == qRgb(255, 0, 160);
            return count;
        };
        QCOMPARE(outlinePixels(*form_), 0);
        QTRY_COMPARE_WITH_TIMEOUT(outlinePixels(outlined), 0, 2000);
        for (CanvasForm* form : {form_.get(), &outlined}) {
            form->canvas->onMouseMove = [form](const MouseEvent& event) {
                form->label->setLeft(event.x);
            };
            moveTo(*form, 6);
        }
        QCOMPARE(outlinePixels(*form_), 0);
        QCOMPARE(repaintedOnScreen(), grab().convertToFormat(QImage::Format_RGB32));
        QVERIFY(outlinePixels(outlined) > 0);
        QTRY_COMPARE_WITH_TIMEOUT(outlinePixels(outlined), 0, 2000);
    }

private:
    // What the window shows after the pending repaints, without repainting it whole.
    QImage repaintedOnScreen() { return repaintedOnScreen(*form_); }
    static QImage repaintedOnScreen(CanvasForm& form) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QWidget& window = form.window();
        return window.screen()
            ->grabWindow(window.window()->winId(), window.x(), window.y(), window.width(),
                         window.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    static QImage fullRepaint(CanvasForm& form) {
        return form.window().grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static void moveTo(CanvasForm& form, double x) {
        QWidget& view = form.canvas->widget();
        const QPointF at = form.canvas->scale().toPixels(x, 3) + QPointF(2, 2);
        QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
    }
    QColor pixelAt(double userX, double userY) {
        const QPointF pixel = form_->canvas->scale().toPixels(userX, userY);
        const QPoint inWindow = form_->canvas->widget().pos() + QPoint(2, 2) + pixel.toPoint();
        return grab().pixelColor(inWindow);
    }
    QImage grab() { return form_->window().grab().toImage(); }

    VirtualClock clock_;
    RecordingMessagePresenter messages_;
    FormEnvironment environment_{clock_, messages_};
    std::unique_ptr<CanvasForm> form_;
};

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
