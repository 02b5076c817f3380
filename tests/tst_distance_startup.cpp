// SPDX-License-Identifier: GPL-3.0-or-later
// The distance lesson from its window's start to the first drawing: layout, plane,
// initial segment, formula row, the hint and the reveal.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "lessontest.h"

using namespace forms;
using lessontest::control;

class TestDistanceStartup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { session_.reset(); }
    void beforeTheFirstTickTheRowIsHiddenAndTheCanvasBlank();
    void firstTickPlacesTheSegmentAndFillsTheRow();
    void planeTicksNumbersAndLettersOnPixels();
    void planeDrawsNothingPastTheAxesEnds();
    void formulaRow_data();
    void formulaRow();
    void formulaRowLayoutGaps();
    void hintShowsTheSameMessageAndChangesNothing();
    void revealShowsTheWholeRowOnce();
    void pictureTwoMasksTheOverlineTail();

private:
    Label& label(const char* name) { return control<Label>(session_->form(), name); }
    LineShape& line(const char* name) { return control<LineShape>(session_->form(), name); }
    QColor canvasPixel(const QImage& image, double x, double y);
    std::unique_ptr<replay::Session> session_;
};

void TestDistanceStartup::init() {
    session_ = std::make_unique<replay::Session>("dorvane");
}

QColor TestDistanceStartup::canvasPixel(const QImage& image, double x, double y) {
    auto& canvas = control<Canvas>(session_->form(), "Picture1");
    const QPointF pixel =
        canvas.scale().toPixels(x, y) + QPointF(canvas.widget().pos()) + QPointF(2, 2);
    return image.pixelColor(pixel.toPoint());
}

void TestDistanceStartup::beforeTheFirstTickTheRowIsHiddenAndTheCanvasBlank() {
    session_->clock().advance(15);
    for (const char* name : {"Label4", "Label5", "Label6", "Label7", "Label8", "Label9", "Label10"})
        QVERIFY2(!label(name).isVisible(), name);
    QVERIFY(!control<Image>(session_->form(), "Image1").isVisible());
    QVERIFY(!control<Image>(session_->form(), "Image4").isVisible());
    QVERIFY(control<Timer>(session_->form(), "Timer1").isEnabled());
    const QImage image = session_->render();
    QCOMPARE(canvasPixel(image, 0, 0), toQColor(SystemColor::MenuBar));
    QCOMPARE(canvasPixel(image, 6, 0), toQColor(SystemColor::MenuBar));
}

void TestDistanceStartup::firstTickPlacesTheSegmentAndFillsTheRow() {
    lessontest::run(*session_, "wait 16");
    QCOMPARE(line("Line1").x1(), 1.0f);
    QCOMPARE(line("Line1").y1(), 1.0f);
    QCOMPARE(line("Line1").x2(), 4.0f);
    QCOMPARE(line("Line1").y2(), 5.0f);
    QCOMPARE(control<Shape>(session_->form(), "shi").left(), 1 - 0.11f);
    QCOMPARE(control<Shape>(session_->form(), "zhong").top(), 5 + 0.12f);
    QCOMPARE(label("Label1").left(), 0.2f);
    QCOMPARE(label("Label2").top(), 5.0f);
    QCOMPARE(label("Label1").caption(), std::string("A(1,1)"));
    QCOMPARE(label("Label3").caption(), std::string("O(4,1)"));
    QCOMPARE(label("Label4").caption(), std::string("3"));
    QCOMPARE(label("Label7").caption(), std::string("4"));
    QCOMPARE(label("Label10").caption(), std::string("5"));
    QVERIFY(!label("Label10").isVisible());
    QVERIFY(!control<Timer>(session_->form(), "Timer1").isEnabled());
    QCOMPARE(control<Canvas>(session_->form(), "Picture1").drawWidth(), 1);
    // The tick never comes again: the plane is drawn once.
    session_->takeState();
    session_->clock().advance(5000);
    const auto state = QJsonDocument::fromJson(QByteArray::fromStdString(session_->takeState()));
    QVERIFY(state["drawn"].toArray().isEmpty());
}

void TestDistanceStartup::planeTicksNumbersAndLettersOnPixels() {
    lessontest::run(*session_, "wait 16");
    const auto state = QJsonDocument::fromJson(QByteArray::fromStdString(session_->takeState()));
    QStringList printed;
    for (const QJsonValue call : state["drawn"].toArray()) {
        if (call["op"].toString() == "Print") printed << call["text"].toString().trimmed();
    }
    QCOMPARE(printed.join(' '), QString("-1 1 2 3 4 5 6 7 8 9 10 11 12 -2 -1 o 1 2 3 4 5 6 7 y x"));

    const QImage image = session_->render();
    const QColor axis = toQColor(SystemColor::WindowFrame);
    QCOMPARE(canvasPixel(image, 6.5, 0), axis);
    QCOMPARE(canvasPixel(image, 0, 3.5), axis);
    const auto inkNear = [&](double x, double y) {
        int dark = 0;
        for (double dx = 0; dx <= 0.6; dx += 0.03)
            for (double dy = 0; dy <= 0.35; dy += 0.03)
                dark += canvasPixel(image, x + dx, y - dy).lightness() < 200 ? 1 : 0;
        return dark;
    };
    // Numbers stand right of and below their print positions; there is none at zero.
    QVERIFY(inkNear(11.8, -0.1) > 3);
    QVERIFY(inkNear(0.05, 5) > 3);
    QVERIFY(inkNear(0.05, -0.05) > 3);  // the letter o
    QVERIFY(inkNear(12.6, -0.1) > 3);   // x
    QVERIFY(inkNear(0.2, 7.8) > 3);     // y
}

void TestDistanceStartup::planeDrawsNothingPastTheAxesEnds() {
    lessontest::run(*session_, "wait 16");
    const auto state = QJsonDocument::fromJson(QByteArray::fromStdString(session_->takeState()));
    for (const QJsonValue call : state["drawn"].toArray()) {
        const QString op = call["op"].toString();
        if (op == "Print") continue;
        const double xs[] = {call["x1"].toDouble(call["x"].toDouble()), call["x2"].toDouble(0)};
        const double ys[] = {call["y1"].toDouble(call["y"].toDouble()), call["y2"].toDouble(0)};
        for (double x : xs) QVERIFY(float(x) >= -1.8f && float(x) <= 12.8f);
        for (double y : ys) QVERIFY(float(y) >= -2.8f && float(y) <= 7.8f);
    }
}

void TestDistanceStartup::formulaRow_data() {
    QTest::addColumn<float>("xA");
    QTest::addColumn<float>("yA");
    QTest::addColumn<float>("xB");
    QTest::addColumn<float>("yB");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("d");
    QTest::newRow("coinciding points") << 1.0f << 1.0f << 1.0f << 1.0f << "0"
                                       << "0"
                                       << "0";
    QTest::newRow("root of 7.3125") << 1.0f << 1.0f << 2.5f << 3.25f << "1.5"
                                    << "2.25"
                                    << "2.70416345659799";
    QTest::newRow("single difference shows 7 digits") << 0.2f << 0.0f << 0.3f << 1.0f << "0.1"
                                                      << "1"
                                                      << "1.00498756300172";
    QTest::newRow("negative coordinates") << -1.0f << -2.0f << 2.0f << 2.0f << "3"
                                          << "4"
                                          << "5";
    QTest::newRow("far away, no exponent")
        << 0.0f << 0.0f << 1e20f << 0.0f << "100000000000000000000"
        << "0"
        << "100000002004088000000";
}

void TestDistanceStartup::formulaRow() {
    QFETCH(float, xA);
    QFETCH(float, yA);
    QFETCH(float, xB);
    QFETCH(float, yB);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, d);
    lessontest::run(*session_, "wait 16");
    line("Line1").setEnds(xA, yA, xB, yB);
    // A press right on B moves B onto itself and lays the row out anew.
    control<Canvas>(session_->form(), "Picture1").mouseDown(LeftButton, 0, xB, yB);
    QCOMPARE(QString::fromStdString(label("Label4").caption()), a);
    QCOMPARE(QString::fromStdString(label("Label7").caption()), b);
    QCOMPARE(QString::fromStdString(label("Label10").caption()), d);
}

void TestDistanceStartup::formulaRowLayoutGaps() {
    lessontest::run(*session_, "wait 16\ndown 9 5.5");  // B to (9, 5.5): a = 8, b = 4.5
    QCOMPARE(label("Label4").left(), 1560.0f);
    QCOMPARE(label("Label4").width(), 150.0f);  // one digit of 15-point serif: 10 pixels
    QCOMPARE(label("Label7").caption(), std::string("4.5"));
    QCOMPARE(label("Label7").width(), 375.0f);
    QCOMPARE(label("Label5").left(), label("Label4").left() + label("Label4").width());
    QCOMPARE(label("Label6").left(), label("Label5").left() + label("Label5").width() + 100);
    QCOMPARE(label("Label7").left(), label("Label6").left() + 255 + 100);
    QCOMPARE(label("Label8").left(), label("Label7").left() + label("Label7").width());
    QCOMPARE(label("Label9").left(), label("Label8").left() + 120 + 50);
    QCOMPARE(label("Label10").left(), label("Label9").left() + 180 + 50);
    QCOMPARE(control<Canvas>(session_->form(), "Picture2").left(), label("Label9").left());
}

void TestDistanceStartup::hintShowsTheSameMessageAndChangesNothing() {
    lessontest::run(*session_, "wait 16");
    const std::string before = session_->takeState();
    lessontest::run(*session_, "click Image2\nwait 500\nclick Image2");
    QCOMPARE(session_->messages().size(), size_t(2));
    for (const Message& message : session_->messages()) {
        QCOMPARE(message.title, std::string("提示"));
        QCOMPARE(message.text,
                 std::string("在坐标系中，按住鼠标左键并拖动，可以改变线段的端点位置"));
        QCOMPARE(message.icon, MessageIcon::None);
    }
    auto controlsOf = [](const std::string& json) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(json))["controls"];
    };
    QCOMPARE(controlsOf(session_->takeState()), controlsOf(before));
}

void TestDistanceStartup::revealShowsTheWholeRowOnce() {
    lessontest::run(*session_, "wait 16\nclick Command2");
    for (const char* name : {"Label4", "Label5", "Label6", "Label7", "Label8", "Label9", "Label10"})
        QVERIFY2(label(name).isVisible(), name);
    QVERIFY(control<Image>(session_->form(), "Image1").isVisible());
    QVERIFY(control<Image>(session_->form(), "Image4").isVisible());
    const auto controls = [this] {
        return QJsonDocument::fromJson(
            QByteArray::fromStdString(session_->takeState()))["controls"];
    };
    const QJsonValue once = controls();
    lessontest::run(*session_, "click Command2");
    QCOMPARE(controls(), once);
}

void TestDistanceStartup::pictureTwoMasksTheOverlineTail() {
    lessontest::run(*session_, "wait 16\nclick Command2");
    const QImage image = session_->render();
    // The overline runs along the top rows of the radical picture (window y 432..433).
    const int overlineRow = 433;
    const int beforeMask = int(label("Label7").left() / 15) + 3;
    const int afterMask = int(label("Label10").left() / 15) + 30;
    const auto darkInColumn = [&](int x) {
        return image.pixelColor(x, overlineRow - 1).lightness() < 128 ||
               image.pixelColor(x, overlineRow).lightness() < 128;
    };
    QVERIFY(darkInColumn(beforeMask));
    QVERIFY(!darkInColumn(afterMask));
}

QTEST_MAIN(TestDistanceStartup)
#include "tst_distance_startup.moc"
