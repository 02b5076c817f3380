// SPDX-License-Identifier: GPL-3.0-or-later
// The window of the distance lesson as designed, control by control in design order.
#include "coordinateplane.h"
#include "distanceform.h"
#include "distancepictures.h"
#include "emblem.h"
#include "pointkeys.h"

namespace distance {

using namespace forms;

namespace {

const FontSpec kFormulaFont{"Times New Roman", 15};
const FontSpec kExponentFont{"Times New Roman", 12};

}  // namespace

void DistanceForm::buildLayout() {
    Command2 =
        addButton({.name = "Command2", .rect = {7680, 5880, 135, 255}, .caption = "Command2"});
    Picture2 = addCanvas({.name = "Picture2",
                          .rect = {4440, 6435, 3375, 80},
                          .backColor = SystemColor::ButtonFace,
                          .border = Border::None});
    Timer2 = addTimer({.name = "Timer2", .interval = 1, .enabled = false});
    Command1 =
        addButton({.name = "Command1", .rect = {6360, 240, 1095, 495}, .caption = "图形演示"});
    Timer1 = addTimer({.name = "Timer1", .interval = 1, .enabled = true});
    Picture1 = addCanvas({.name = "Picture1",
                          .rect = {120, 120, 7500, 5500},
                          .backColor = SystemColor::MenuBar,
                          .foreColor = SystemColor::WindowFrame});

    Line1 = addLine({.name = "Line1",
                     .x1 = 3240,
                     .y1 = 2760,
                     .x2 = 2040,
                     .y2 = 4320,
                     .color = kBlack,
                     .width = 2},
                    Picture1);
    shi = addShape({.name = "shi", .rect = {2280, 4200, 120, 120}}, Picture1);
    zhong = addShape({.name = "zhong", .rect = {3120, 3000, 120, 120}}, Picture1);
    Label3 = addLabel(
        {.name = "Label3", .rect = {4200, 4440, 795, 330}, .caption = "O(4,1)", .visible = false},
        Picture1);
    Line5 = addLine(plane::projectionLine("Line5", 7200), Picture1);
    Line4 = addLine(plane::projectionLine("Line4", 6720), Picture1);
    Line3 = addLine(plane::projectionLine("Line3", 6240), Picture1);
    Quillet = addLine(plane::projectionLine("Quillet", 5760), Picture1);
    Label2 =
        addLabel({.name = "Label2", .rect = {4440, 1680, 780, 330}, .caption = "B(4,5)"}, Picture1);
    Label1 =
        addLabel({.name = "Label1", .rect = {2640, 4200, 795, 330}, .caption = "A(1,1)"}, Picture1);

    Image2 = addImage({.name = "Image2",
                       .left = 6960,
                       .top = 6480,
                       .picture = emblem::picture(QColor(0xB4, 0x96, 0xE6)),
                       .accessibleName = "提示"});
    Label10 = addLabel({.name = "Label10",
                        .rect = {6000, 6720, 495, 330},
                        .caption = "|OB|",
                        .font = kFormulaFont,
                        .foreColor = kRed});
    Label9 = addLabel({.name = "Label9", .rect = {5040, 6720, 165, 330}, .caption = "="});
    Label8 = addLabel(
        {.name = "Label8", .rect = {4200, 6480, 120, 285}, .caption = "2", .font = kExponentFont});
    Label7 = addLabel({.name = "Label7",
                       .rect = {3600, 6720, 495, 330},
                       .caption = "|OB|",
                       .font = kFormulaFont,
                       .foreColor = kRed});
    Label6 = addLabel({.name = "Label6",
                       .rect = {2760, 6720, 255, 375},
                       .caption = "+",
                       .font = {"宋体", 21.75},
                       .backColor = SystemColor::ButtonFace,
                       .autoSize = false});
    Image1 = addImage({.name = "Image1",
                       .left = 360,
                       .top = 5760,
                       .picture = generalFormulaPicture(),
                       .accessibleName = "|AB| = √(|OA|² + |OB|²)"});
    Label5 = addLabel(
        {.name = "Label5", .rect = {2160, 6480, 120, 285}, .caption = "2", .font = kExponentFont});
    Label4 = addLabel({.name = "Label4",
                       .rect = {1560, 6720, 510, 330},
                       .caption = "|OA|",
                       .font = kFormulaFont,
                       .foreColor = kRed});
    Image4 = addImage({.name = "Image4", .left = 840, .top = 6480, .picture = radicalRowPicture()});

    Image2->onClick = [this] { Image2_Click(); };
    Command1->onClick = [this] { Command1_Click(); };
    Command2->onClick = [this] { Command2_Click(); };
    Timer1->onTimer = [this] { Timer1_Timer(); };
    Timer2->onTimer = [this] { Timer2_Timer(); };
    Picture1->onMouseDown = [this](const MouseEvent& e) {
        Picture1_MouseDown(e.button, e.shift, e.x, e.y);
    };
    Picture1->onMouseMove = [this](const MouseEvent& e) {
        Picture1_MouseMove(e.button, e.shift, e.x, e.y);
    };

    pointKeys_ =
        std::make_unique<plane::PointKeys>(*Picture1, *Line1, std::array<std::string, 2>{"A", "B"});
    Picture1->setAccessibleName("坐标平面");
    // The second formula row reads as one sentence through its picture; its parts, each a
    // bare number or sign, are left out.
    for (Label* part : {Label4, Label5, Label6, Label7, Label8, Label9, Label10})
        part->accessibleHidden = true;
    Image4->accessibleText = [this] {
        return "|AB| = √(" + Label4->caption() + "² + " + Label7->caption() +
               "²) = " + Label10->caption();
    };
    Command2->setAccessibleName("显示公式");
    // The segment and the dotted lines are named for what they show; the dots at A and B
    // are left out, as their labels name the points.
    Line1->setAccessibleName("线段 AB");
    Quillet->setAccessibleName("过 A 的水平虚线");
    Line3->setAccessibleName("过 B 的竖直虚线");
    Line4->setAccessibleName("A 到 x 轴的虚线");
    Line5->setAccessibleName("B 到 y 轴的虚线");
    shi->accessibleHidden = true;
    zhong->accessibleHidden = true;
    Picture1->onKeyDown = [this](const KeyEvent& key) { return pointKeys_->keyDown(key); };
    Picture1->keyMark = [this]() -> std::optional<KeyMark> {
        return pointKeys_ ? pointKeys_->mark() : std::nullopt;
    };
}

}  // namespace distance
