// SPDX-License-Identifier: GPL-3.0-or-later
#include "slopeform.h"

#include <cmath>

#include "coordinateplane.h"
#include "pointkeys.h"
#include "singleprecision.h"
#include "slopeicon.h"

namespace slope {

using namespace forms;

namespace {

// The lesson writes its right angle and π as these decimals, and a vertical line's arcs
// end at exactly this value.
constexpr double kRightAngle = 1.57079633;
constexpr double kPi = 3.14159;
constexpr double kArcRadius = 0.5;

double squared(double value) {
    return value * value;
}

}  // namespace

SlopeForm::SlopeForm(FormEnvironment& environment)
    : Form(environment, {.caption = "斜率公式",
                         .clientWidth = 7800,
                         .clientHeight = 6690,
                         .icon = lessonIcon().icon()}) {
    buildLayout();
}

SlopeForm::~SlopeForm() = default;

std::vector<Variable> SlopeForm::variables() const {
    return {{"aa", aa}, {"bb", bb}, {"qingxie", qingxie}, {"stepCount", stepCount}};
}

void SlopeForm::Form_Load() {
    const bool scaled = Picture1->setScale(-2, 8, 13, -3);
    Q_ASSERT(scaled);
}

void SlopeForm::Image2_Click() {
    msgBox("在坐标系中，按住鼠标左键并拖动，可以改变直线的位置，并观察直线倾斜角与斜率的变化",
           "提示");
}

void SlopeForm::Timer1_Timer() {
    plane::drawCoordinatePlane(*Picture1, [this] {
        Image8->setTop(1);
        Image8->setLeft(0.2f);
        Image9->setTop(5);
        Image9->setLeft(4);
    });

    Line1->setEnds(1, 1, 4, 5);
    const float x1 = Line1->x1(), y1 = Line1->y1(), x2 = Line1->x2(), y2 = Line1->y2();
    qingxie = std::atan((double(y2) - y1) / (double(x2) - x1));
    placeLine();
    shi->setLeft(toSingle(x1 - 0.11));
    shi->setTop(toSingle(y1 + 0.12));
    zhong->setLeft(toSingle(x2 - 0.11));
    zhong->setTop(toSingle(y2 + 0.12));

    Picture1->setAutoRedraw(false);
    Picture1->setDrawWidth(1);
    const double c = crossingPoint();
    drawAngleArc(c, 0);
    // At start-up the α sits a little nearer its arc than after a drag.
    Label1->setTop(0.9f);
    Label1->setLeft(toSingle(c + 0.45));
    placeCoordinateTags();
    placeLegs();
    drawAngleArc(x1, y1);
    Label2->setLeft(toSingle(x1 + 0.5));
    Label2->setTop(toSingle(y1 + 0.6));

    Timer1->setEnabled(false);
    Command1_Click();
}

void SlopeForm::measureDistances(float x, float y) {
    aa = squared(double(x) - Line1->x1()) + squared(double(y) - Line1->y1());
    bb = toSingle(squared(double(x) - Line1->x2()) + squared(double(y) - Line1->y2()));
}

void SlopeForm::Picture1_MouseDown(int, int, float x, float y) {
    measureDistances(x, y);
    for (LineShape* line : {Quillet, Line3, Line4, Line5, Line7, Line8}) line->setVisible(true);
    Label3->setVisible(true);
    UpdateFigure(x, y, Gesture::Press);
}

void SlopeForm::Picture1_MouseMove(int button, int, float x, float y) {
    measureDistances(x, y);
    if (button != LeftButton) return;
    UpdateFigure(x, y, Gesture::Move);
    placeRay();
}

void SlopeForm::UpdateFigure(float x, float y, Gesture gesture) {
    const float pictureTop = gesture == Gesture::Press ? toSingle(y - 0.5) : y;
    // Equal distances move neither point, yet the line and the angle marks are redrawn.
    if (aa < double(bb)) {
        Line1->setX1(x);
        Line1->setY1(y);
        shi->setLeft(toSingle(x - 0.11));
        shi->setTop(toSingle(y + 0.12));
        Image8->setLeft(toSingle(x - 0.6));
        Image8->setTop(pictureTop);
        placeConstruction();
    }
    if (double(bb) < aa) {
        Line1->setX2(x);
        Line1->setY2(y);
        zhong->setLeft(toSingle(x - 0.11));
        zhong->setTop(toSingle(y + 0.12));
        Image9->setLeft(toSingle(x - 0.6));
        Image9->setTop(pictureTop);
        placeConstruction();
    }

    const float x1 = Line1->x1(), y1 = Line1->y1(), x2 = Line1->x2(), y2 = Line1->y2();
    // Coinciding points count as a vertical line, so nothing divides by zero.
    qingxie = x1 != x2 ? std::atan((double(y2) - y1) / (double(x2) - x1)) : kRightAngle;
    if (gesture == Gesture::Move) Picture1->setDrawWidth(2);
    placeLine();
    placeCoordinateTags();

    Picture1->setAutoRedraw(false);
    // Only the arcs of this update stay: left alone, the arcs of every earlier step would
    // pile up wherever no control happened to move over them.
    Picture1->cls();
    if (qingxie != 0) {
        const double c = crossingPoint();
        drawAngleArc(c, 0);
        Label1->setTop(0.9f);
        Label1->setLeft(toSingle(c + 0.5));
    }
    // The lower point; P2 also when both are at the same height.
    const float lowerX = y1 < y2 ? x1 : x2;
    const float lowerY = y1 < y2 ? y1 : y2;
    drawAngleArc(lowerX, lowerY);
    Label2->setLeft(toSingle(lowerX + 0.5));
    Label2->setTop(toSingle(lowerY + 0.6));
}

// The corner label and the dotted projections. Quillet ends at P1 here, while the
// demonstration carries it on to the corner (x2, y1).
void SlopeForm::placeConstruction() {
    const float x1 = Line1->x1(), y1 = Line1->y1(), x2 = Line1->x2(), y2 = Line1->y2();
    placeCornerLabel();
    Label3->setCaption("P");
    Quillet->setEnds(0, y1, x1, y1);
    Line3->setEnds(x2, 0, x2, y2);
    Line4->setEnds(x1, y1, x1, 0);
    Line5->setEnds(x2, y2, 0, y2);
    placeLegs();
}

// "P" names the right angle, where the legs meet: below P2 for a rising line, below P1
// otherwise (also for a level one, whose rise has no length).
void SlopeForm::placeCornerLabel() {
    const bool rising = Line1->y1() < Line1->y2();
    Label3->setLeft(rising ? Line1->x2() : Line1->x1());
    Label3->setTop(rising ? Line1->y1() : Line1->y2());
}

// The run and the rise meet below the upper point, at (x2, y1) or at (x1, y2).
void SlopeForm::placeLegs() {
    const float x1 = Line1->x1(), y1 = Line1->y1(), x2 = Line1->x2(), y2 = Line1->y2();
    if (y1 < y2) {
        Line7->setEnds(x1, y1, x2, y1);
        Line8->setEnds(x2, y1, x2, y2);
    } else {
        Line7->setEnds(x2, y2, x1, y2);
        Line8->setEnds(x1, y1, x1, y2);
    }
}

// The line runs across the canvas's whole width. For a nearly vertical line its ends lie
// far above and below the canvas; they saturate and the drawing is clipped.
void SlopeForm::placeLine() {
    const float x1 = Line1->x1(), y1 = Line1->y1(), x2 = Line1->x2();
    if (x1 != x2) {
        const double t = std::tan(qingxie);
        Line6->setEnds(-2, toSingle(t * (-2.0 - x1) + y1), 13, toSingle(t * (13.0 - x1) + y1));
    } else {
        Line6->setEnds(x1, -2, x2, 8);
    }
}

void SlopeForm::placeCoordinateTags() {
    Image3->setTop(-0.5f);
    Image5->setTop(-0.5f);
    Image3->setLeft(toSingle(Line1->x1() - 0.3));
    Image5->setLeft(toSingle(Line1->x2() - 0.3));
    Image6->setTop(Line1->y1());
    Image7->setTop(Line1->y2());
    Image6->setLeft(-0.6f);
    Image7->setLeft(-0.6f);
}

// A nearly horizontal line crosses the x axis very far away; the result stays finite
// because the tangent of a non-zero angle is never below about 1e-84 here.
double SlopeForm::crossingPoint() const {
    return Line1->x1() - Line1->y1() / std::tan(qingxie);
}

// The arcs are screen-only drawing: the next figure update clears them, a control that
// moves over one erases it there, and the canvas's persistent plane stays untouched. The
// end angle goes in single precision.
void SlopeForm::drawAngleArc(double x, double y) {
    if (qingxie > 0)
        Picture1->circle(toSingle(x), y, kArcRadius, kRed, 0, float(qingxie));
    else if (qingxie < 0)
        Picture1->circle(toSingle(x), y, kArcRadius, kRed, 0, float(qingxie + kPi));
}

std::string SlopeForm::arcText(ArcPlace place) const {
    // The arcs are drawn for the same qingxie; a horizontal line has none.
    if (qingxie == 0) return "倾斜角 α：直线水平，没有弧";
    const std::string where = place == ArcPlace::Axis     ? "直线与 x 轴相交处"
                              : Line1->y1() < Line1->y2() ? "P₁ 处"
                                                          : "P₂ 处";
    const std::string kind = qingxie == kRightAngle ? "直角" : qingxie > 0 ? "锐角" : "钝角";
    return "倾斜角 α：" + where + "的弧，" + kind;
}

void SlopeForm::placeRay() {
    const float x1 = Line1->x1(), y1 = Line1->y1();
    const float d = Line1->x2() - x1;
    if (d < 0.5f) {
        Line9->setVisible(true);
        Line9->setEnds(x1, y1, toSingle(x1 + 0.9), y1);
    } else {
        Line9->setVisible(false);
    }
}

void SlopeForm::Command1_Click() {
    const float x1 = Line1->x1(), y1 = Line1->y1(), x2 = Line1->x2(), y2 = Line1->y2();
    Quillet->setEnds(0, y1, 0, y1);
    Line3->setEnds(x2, 0, x2, 0);
    Line4->setEnds(x1, y1, x1, y1);
    Line5->setEnds(x2, y2, x2, y2);
    Timer2->setEnabled(true);
}

// The step sizes are read afresh on every tick, so a drag during the demonstration
// changes the remaining steps of lines that already moved.
void SlopeForm::Timer2_Timer() {
    ++stepCount;
    const float y1 = Line1->y1(), x2 = Line1->x2(), y2 = Line1->y2();
    Quillet->setX2(toSingle(double(Quillet->x2()) + x2 / 100));
    Line3->setY2(toSingle(double(Line3->y2()) + y2 / 100));
    Line4->setY2(toSingle(double(Line4->y2()) - y1 / 100));
    Line5->setX2(toSingle(double(Line5->x2()) - x2 / 100));
    if (stepCount == 100) {
        Timer2->setEnabled(false);
        Label3->setVisible(true);
        Line7->setVisible(true);
        Line8->setVisible(true);
        stepCount = 0;
    }
    for (LineShape* line : {Line5, Line4, Line3, Quillet}) line->setVisible(true);
    placeCornerLabel();
}

// A colour change erases no screen-only drawing, so the blinking legs leave the arcs be.
void SlopeForm::Timer4_Timer() {
    if (Line7->borderColor() == kBlue) {
        Line7->setBorderColor(kBlack);
        Line8->setBorderColor(kBlack);
    } else {
        Line7->setBorderColor(kBlue);
        Line8->setBorderColor(kRed);
    }
}

}  // namespace slope
