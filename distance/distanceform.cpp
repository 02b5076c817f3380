// SPDX-License-Identifier: GPL-3.0-or-later
#include "distanceform.h"

#include <cmath>

#include "coordinateplane.h"
#include "distanceicon.h"
#include "numbertext.h"
#include "pointkeys.h"
#include "singleprecision.h"

namespace distance {

using namespace forms;

namespace {

// A coordinate as the labels show it: the number text cut after its fourth character.
std::string coordinateText(float value) {
    return singleText(value).substr(0, 4);
}

double squared(double value) {
    return value * value;
}

}  // namespace

DistanceForm::DistanceForm(FormEnvironment& environment)
    : Form(environment, {.caption = "两点间的距离公式",
                         .clientWidth = 7860,
                         .clientHeight = 7380,
                         .twipsPosition = QPointF(660, 1035),
                         .icon = lessonIcon().icon()}) {
    buildLayout();
}

DistanceForm::~DistanceForm() = default;

std::vector<Variable> DistanceForm::variables() const {
    return {{"aa", aa}, {"bb", bb}, {"stepCount", stepCount}};
}

void DistanceForm::Form_Load() {
    const bool scaled = Picture1->setScale(-2, 8, 13, -3);
    Q_ASSERT(scaled);
    Image1->setVisible(false);
    Image4->setVisible(false);
    for (Label* label : {Label4, Label5, Label6, Label7, Label8, Label9, Label10})
        label->setVisible(false);
}

void DistanceForm::Image2_Click() {
    msgBox("在坐标系中，按住鼠标左键并拖动，可以改变线段的端点位置", "提示");
}

void DistanceForm::Command2_Click() {
    Image1->setVisible(true);
    Image4->setVisible(true);
    for (Label* label : {Label4, Label5, Label6, Label7, Label8, Label9, Label10})
        label->setVisible(true);
}

void DistanceForm::Timer1_Timer() {
    plane::drawCoordinatePlane(*Picture1, [this] {
        Label1->setTop(1);
        Label1->setLeft(0.2f);
        Label2->setTop(5);
        Label2->setLeft(4);
    });

    Line1->setEnds(1, 1, 4, 5);
    shi->setLeft(toSingle(Line1->x1() - 0.11));
    shi->setTop(toSingle(Line1->y1() + 0.12));
    zhong->setLeft(toSingle(Line1->x2() - 0.11));
    zhong->setTop(toSingle(Line1->y2() + 0.12));

    Picture1->setDrawWidth(1);
    UpdateFormulaRow();
    Timer1->setEnabled(false);
}

void DistanceForm::UpdateFormulaRow() {
    Label4->setCaption(singleText(std::fabs(Line1->x2() - Line1->x1())));
    Label5->setCaption("2");
    Label5->setLeft(Label4->left() + Label4->width());
    Label6->setLeft(Label5->left() + Label5->width() + 100);
    Label7->setCaption(singleText(std::fabs(Line1->y2() - Line1->y1())));
    Label7->setLeft(Label6->left() + Label6->width() + 100);
    Label8->setLeft(Label7->left() + Label7->width());
    Label9->setLeft(Label8->left() + Label8->width() + 50);
    const double dx = double(Line1->x2()) - double(Line1->x1());
    const double dy = double(Line1->y2()) - double(Line1->y1());
    Label10->setCaption(doubleText(std::sqrt(squared(dx) + squared(dy))));
    Label10->setLeft(Label9->left() + Label9->width() + 50);
    Picture2->setLeft(Label9->left());
}

void DistanceForm::measureDistances(float x, float y) {
    aa = squared(double(x) - double(Line1->x1())) + squared(double(y) - double(Line1->y1()));
    bb = toSingle(squared(double(x) - double(Line1->x2())) +
                  squared(double(y) - double(Line1->y2())));
}

void DistanceForm::Picture1_MouseDown(int, int, float x, float y) {
    measureDistances(x, y);
    for (LineShape* line : {Quillet, Line3, Line4, Line5}) line->setVisible(true);
    const float xA = Line1->x1(), yA = Line1->y1(), xB = Line1->x2(), yB = Line1->y2();
    Quillet->setEnds(0, yA, xB, yA);
    Line3->setEnds(xB, 0, xB, yB);
    Line4->setEnds(xA, yA, xA, 0);
    Line5->setEnds(xB, yB, 0, yB);
    Label3->setVisible(true);
    MoveNearerEndpoint(x, y);
    UpdateFormulaRow();
}

void DistanceForm::Picture1_MouseMove(int button, int, float x, float y) {
    measureDistances(x, y);
    if (button != LeftButton) return;
    MoveNearerEndpoint(x, y);
    UpdateFormulaRow();
    Command2_Click();
}

void DistanceForm::MoveNearerEndpoint(float x, float y) {
    const auto vertexCaption = [this] {
        return "O(" + coordinateText(Line1->x2()) + "," + coordinateText(Line1->y1()) + ")";
    };
    if (aa < double(bb)) {
        Line1->setX1(x);
        Line1->setY1(y);
        shi->setLeft(toSingle(x - 0.11));
        shi->setTop(toSingle(y + 0.12));
        Label1->setLeft(toSingle(x - 0.6));
        Label1->setTop(toSingle(y - 0.5));
        const float xB = Line1->x2(), yA = Line1->y1(), yB = Line1->y2();
        Label3->setLeft(xB);
        Label3->setTop(yA);
        Label1->setCaption("A(" + coordinateText(x) + "," + coordinateText(y) + ")");
        Label3->setCaption(vertexCaption());
        if (0 <= x && x < xB)
            Quillet->setEnds(0, yA, xB, yA);
        else
            Quillet->setEnds(x, yA, xB, yA);
        Line4->setEnds(Line1->x1(), yA, Line1->x1(), 0);
        if (0 <= y && y < yB)
            Line3->setEnds(xB, yB, xB, 0);
        else if (y > yB)
            Line3->setEnds(xB, 0, xB, y);
        else
            Line3->setEnds(xB, yB, xB, y);
    }
    if (double(bb) < aa) {
        Line1->setX2(x);
        Line1->setY2(y);
        zhong->setLeft(toSingle(x - 0.11));
        zhong->setTop(toSingle(y + 0.12));
        Label2->setLeft(toSingle(x - 0.6));
        Label2->setTop(toSingle(y - 0.5));
        const float xA = Line1->x1(), yA = Line1->y1(), xB = Line1->x2();
        Label3->setLeft(xB);
        Label3->setTop(yA);
        Label2->setCaption("B(" + coordinateText(x) + "," + coordinateText(y) + ")");
        Label3->setCaption(vertexCaption());
        if (0 <= y && y < yA)
            Line3->setEnds(x, yA, x, 0);
        else if (y > yA)
            Line3->setEnds(x, y, x, 0);
        else
            Line3->setEnds(x, y, x, yA);
        if (x > xA) {
            Quillet->setX1(0);
            Quillet->setX2(x);
        } else if (0 < x && x <= xA) {
            Quillet->setX1(xA);
            Quillet->setX2(0);
        } else {
            Quillet->setX1(xA);
            Quillet->setX2(x);
        }
        if (0 <= x && x < xA)
            Line5->setEnds(0, y, x, y);
        else
            Line5->setEnds(x, y, 0, y);
    }
}

void DistanceForm::Command1_Click() {
    const float xA = Line1->x1(), yA = Line1->y1(), xB = Line1->x2(), yB = Line1->y2();
    Quillet->setEnds(0, yA, 0, yA);
    Line3->setEnds(xB, 0, xB, 0);
    Line4->setEnds(xA, yA, xA, yA);
    Line5->setEnds(xB, yB, xB, yB);
    Timer2->setEnabled(true);
}

void DistanceForm::Timer2_Timer() {
    ++stepCount;
    const float yA = Line1->y1(), xB = Line1->x2(), yB = Line1->y2();
    const float stepX = xB / 100, stepYB = yB / 100, stepYA = yA / 100;
    const double stepBack = double(xB) / 100;
    Quillet->setX2(toSingle(double(Quillet->x2()) + stepX));
    Line3->setY2(toSingle(double(Line3->y2()) + stepYB));
    Line4->setY2(toSingle(double(Line4->y2()) - stepYA));
    Line5->setX2(toSingle(double(Line5->x2()) - stepBack));
    if (stepCount == 100) {
        Timer2->setEnabled(false);
        Label3->setVisible(true);
        Command2_Click();
        stepCount = 0;
    }
    for (LineShape* line : {Line5, Line4, Line3, Quillet}) line->setVisible(true);
    Label3->setTop(Line1->y1());
    Label3->setLeft(Line1->x2());
}

}  // namespace distance
