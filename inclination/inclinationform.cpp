// SPDX-License-Identifier: GPL-3.0-or-later
#include "inclinationform.h"

#include <cmath>
#include <numbers>

#include "inclinationicon.h"
#include "inclinationpictures.h"
#include "keystep.h"
#include "numbertext.h"
#include "singleprecision.h"

namespace inclination {

using namespace forms;

namespace {

// The lesson writes π as this decimal, and the readouts follow from it: a line through
// the pivot at this angle ends a hair off the level, not on it.
constexpr double kHalfTurn = 3.14159;
const double kHalfLength = std::sqrt(50.0);
constexpr double kArcStep = 0.05;
// From here on an angle reads as 180 at two decimals.
constexpr double kReadsAsHalfTurn = 179.995;

}  // namespace

InclinationForm::InclinationForm(FormEnvironment& environment)
    : Form(environment, {.caption = "Tavrelo与斜率",
                         .clientWidth = 6255,
                         .clientHeight = 7380,
                         .backColor = 0x00E0E0E0,
                         .resizable = true,
                         .icon = lessonIcon().icon()}) {
    buildLayout();
}

InclinationForm::~InclinationForm() = default;

std::vector<Variable> InclinationForm::variables() const {
    return {{"rangeXMin", rangeXMin},
            {"rangeXMax", rangeXMax},
            {"rangeYMin", rangeYMin},
            {"rangeYMax", rangeYMax},
            {"lineAngle", lineAngle}};
}

void InclinationForm::putDefaultRanges() {
    Text4->setText("10");
    Text5->setText("-10");
    Text6->setText("10");
    Text7->setText("-10");
}

void InclinationForm::readRanges() {
    rangeXMax = leadingNumber(Text4->text());
    rangeXMin = leadingNumber(Text5->text());
    rangeYMax = leadingNumber(Text6->text());
    rangeYMin = leadingNumber(Text7->text());
}

void InclinationForm::Form_Load() {
    putDefaultRanges();
    readRanges();
    zuobiao(rangeXMin, rangeXMax, rangeYMin, rangeYMax);
    Line1->setX2(7);
    Line1->setY2(5);
    Line1->setX1(-3);
    Line1->setY1(-5);
}

void InclinationForm::Command3_Click() {
    for (TextBox* box : {Text4, Text5, Text6, Text7}) box->setText("");
}

void InclinationForm::Command4_Click() {
    readRanges();
    if (rangeXMax <= rangeXMin || rangeYMax <= rangeYMin) {
        msgBox("数据输入有误！", "警告", MessageIcon::Exclamation);
        Picture1->cls();
        return;
    }
    zuobiao(rangeXMin, rangeXMax, rangeYMin, rangeYMax);
}

void InclinationForm::Picture1_MouseMove(int, int, float x, float y) {
    Picture1->cls();
    putDefaultRanges();
    readRanges();
    zuobiao(rangeXMin, rangeXMax, rangeYMin, rangeYMax);

    // On the vertical through the pivot there is no slope to divide out; the angle is the
    // limit of the arctangent instead.
    if (x == 2) {
        lineAngle = std::numbers::pi / 2;
    } else {
        const float slope = y / (x - 2.0f);
        const double angle = std::atan(double(slope));
        lineAngle = slope > 0 ? angle : kHalfTurn - std::fabs(angle);
        // An inclination lies in [0°, 180°): a level line, at a half turn here, has 0,
        // and so has a line falling so slightly that its angle would read 180°, the same
        // reading one step round.
        if (lineAngle * 180 / kHalfTurn >= kReadsAsHalfTurn) lineAngle = 0;
    }

    Line1->setX2(toSingle(2 + kHalfLength * std::cos(lineAngle)));
    Line1->setY2(toSingle(kHalfLength * std::sin(lineAngle)));
    Line1->setX1(toSingle(2 + kHalfLength * std::cos(lineAngle + kHalfTurn)));
    Line1->setY1(toSingle(kHalfLength * std::sin(lineAngle + kHalfTurn)));

    // An angle of 0 has no arc, not even its first point.
    if (lineAngle > 0) {
        for (double k = 0; k <= lineAngle; k += kArcStep)
            Picture1->pset(2 + std::cos(k), std::sin(k), kRed);
    }

    const double slope = std::tan(lineAngle);
    double degrees = lineAngle * 180 / kHalfTurn;
    if (degrees > 89.5 && degrees < 90.5) degrees = 90;
    if (degrees == 90) {
        Label1->setCaption("90°");
        Label4->setCaption("不存在");
    } else {
        Label1->setCaption(formatPattern(degrees, "0.##") + "°");
        Label4->setCaption(formatPattern(slope, "0.##"));
    }
}

bool InclinationForm::stepKeyPointer(const KeyEvent& key) {
    const double step = key.shift & 1 ? 0.1 : 0.5;
    const auto to = arrowStep(key.keyCode, keyPointerX, keyPointerY, step, Picture1->scale());
    if (!to) return false;
    Picture1->mouseMove(0, 0, to->first, to->second);
    return true;
}

}  // namespace inclination
