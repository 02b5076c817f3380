// SPDX-License-Identifier: GPL-3.0-or-later
// The window of the slope lesson as designed, control by control in design order.
#include "coordinateplane.h"
#include "emblem.h"
#include "numbertext.h"
#include "pointkeys.h"
#include "slopeform.h"
#include "slopepictures.h"

namespace slope {

using namespace forms;

namespace {

const FontSpec kAngleFont{"楷体_GB2312", 18, false, true};
const FontSpec kSmallAngleFont{"楷体_GB2312", 15.75, false, true};
const FontSpec kCornerFont{"Times New Roman", 15, false, true};

LineDesign legLine(const char* name, double x, double y1, Color color) {
    return {.name = name,
            .x1 = x,
            .y1 = y1,
            .x2 = x,
            .y2 = y1 + 1440,
            .color = color,
            .style = LineStyle::DashDot,
            .width = 2,
            .visible = false};
}

}  // namespace

void SlopeForm::buildLayout() {
    Picture1 = addCanvas({.name = "Picture1",
                          .rect = {120, 120, 7500, 5500},
                          .backColor = SystemColor::MenuBar,
                          .foreColor = SystemColor::WindowFrame});
    Command1 = addButton(
        {.name = "Command1", .rect = {7680, 2160, 1095, 495}, .caption = "演示", .visible = false});
    Image1 = addImage({.name = "Image1",
                       .left = 2160,
                       .top = 5520,
                       .picture = slopeFormulaPicture(),
                       .accessibleName = "k = (y₂ − y₁) / (x₂ − x₁), x₁ ≠ x₂"});
    Label5 = addLabel({.name = "Label5",
                       .rect = {600, 5880, 1500, 300},
                       .caption = "斜率公式：",
                       .font = {"宋体", 15}});
    Image2 = addImage({.name = "Image2",
                       .left = 6840,
                       .top = 5640,
                       .picture = emblem::picture(QColor(0x8C, 0xB4, 0xE6)),
                       .accessibleName = "提示"});
    Timer1 = addTimer({.name = "Timer1", .interval = 1, .enabled = true});
    Timer2 = addTimer({.name = "Timer2", .interval = 1, .enabled = false});
    Timer3 = addTimer({.name = "Timer3", .interval = 0, .enabled = true});
    Timer4 = addTimer({.name = "Timer4", .interval = 1000, .enabled = true});

    Line1 = addLine({.name = "Line1",
                     .x1 = 3360,
                     .y1 = 2760,
                     .x2 = 2160,
                     .y2 = 4320,
                     .width = 2,
                     .visible = false},
                    Picture1);
    Line6 = addLine({.name = "Line6", .x1 = 1800, .y1 = 1920, .x2 = 840, .y2 = 3480, .width = 2},
                    Picture1);
    Quillet = addLine(plane::projectionLine("Quillet", 5760), Picture1);
    Line3 = addLine(plane::projectionLine("Line3", 6240), Picture1);
    Line4 = addLine(plane::projectionLine("Line4", 6720), Picture1);
    Line5 = addLine(plane::projectionLine("Line5", 6960), Picture1);
    Line7 = addLine(legLine("Line7", 7200, 3120, kBlue), Picture1);
    Line8 = addLine(legLine("Line8", 7320, 3000, kRed), Picture1);
    Line9 = addLine({.name = "Line9", .x1 = 6000, .y1 = 5160, .x2 = 6720, .y2 = 5160}, Picture1);
    shi = addShape({.name = "shi", .rect = {2280, 4200, 120, 120}}, Picture1);
    zhong = addShape({.name = "zhong", .rect = {3240, 3000, 120, 120}}, Picture1);
    Label1 = addLabel({.name = "Label1",
                       .rect = {4440, 3840, 360, 360},
                       .caption = "α",
                       .font = kAngleFont,
                       .foreColor = kRed},
                      Picture1);
    Label2 = addLabel({.name = "Label2",
                       .rect = {4680, 3120, 330, 315},
                       .caption = "α",
                       .font = kSmallAngleFont,
                       .foreColor = kRed},
                      Picture1);
    Label3 = addLabel({.name = "Label3",
                       .rect = {4200, 4440, 180, 330},
                       .caption = "P",
                       .font = kCornerFont,
                       .visible = false},
                      Picture1);
    Image3 =
        addImage({.name = "Image3", .left = 4560, .top = 2040, .picture = x1Picture()}, Picture1);
    Image5 =
        addImage({.name = "Image5", .left = 4920, .top = 1800, .picture = x2Picture()}, Picture1);
    Image6 =
        addImage({.name = "Image6", .left = 4440, .top = 2520, .picture = y1Picture()}, Picture1);
    Image7 =
        addImage({.name = "Image7", .left = 5280, .top = 2400, .picture = y2Picture()}, Picture1);
    Image8 =
        addImage({.name = "Image8", .left = 2520, .top = 1560, .picture = p1Picture()}, Picture1);
    Image9 =
        addImage({.name = "Image9", .left = 2760, .top = 1200, .picture = p2Picture()}, Picture1);

    Image2->onClick = [this] { Image2_Click(); };
    Command1->onClick = [this] { Command1_Click(); };
    Timer1->onTimer = [this] { Timer1_Timer(); };
    Timer2->onTimer = [this] { Timer2_Timer(); };
    Timer4->onTimer = [this] { Timer4_Timer(); };
    Picture1->onMouseDown = [this](const MouseEvent& e) {
        Picture1_MouseDown(e.button, e.shift, e.x, e.y);
    };
    Picture1->onMouseMove = [this](const MouseEvent& e) {
        Picture1_MouseMove(e.button, e.shift, e.x, e.y);
    };

    pointKeys_ = std::make_unique<plane::PointKeys>(*Picture1, *Line1,
                                                    std::array<std::string, 2>{"P₁", "P₂"});
    Picture1->setAccessibleName("坐标平面");
    Image1->labelledBy = Label5;
    // The tags read the coordinates they stand for.
    const auto value = [](float v) { return formatPattern(v, "0.##"); };
    Image3->accessibleText = [this, value] { return "x₁ = " + value(Line1->x1()); };
    Image5->accessibleText = [this, value] { return "x₂ = " + value(Line1->x2()); };
    Image6->accessibleText = [this, value] { return "y₁ = " + value(Line1->y1()); };
    Image7->accessibleText = [this, value] { return "y₂ = " + value(Line1->y2()); };
    Image8->accessibleText = [this, value] {
        return "P₁(" + value(Line1->x1()) + ", " + value(Line1->y1()) + ")";
    };
    Image9->accessibleText = [this, value] {
        return "P₂(" + value(Line1->x2()) + ", " + value(Line1->y2()) + ")";
    };
    // The line is read through Line6, which spans the canvas; Line1 only holds the points,
    // and the dots at them are named by the tags.
    for (Windowless* unseen : std::initializer_list<Windowless*>{Line1, shi, zhong})
        unseen->accessibleHidden = true;
    Line6->setAccessibleName("直线 P₁P₂");
    Quillet->setAccessibleName("过 P₁ 的水平虚线");
    Line3->setAccessibleName("P₂ 到 x 轴的虚线");
    Line4->setAccessibleName("P₁ 到 x 轴的虚线");
    Line5->setAccessibleName("P₂ 到 y 轴的虚线");
    Line7->setAccessibleName("水平直角边");
    Line8->setAccessibleName("竖直直角边");
    Line9->setAccessibleName("从 P₁ 向右的水平线");
    Label1->accessibleText = [this] { return arcText(ArcPlace::Axis); };
    Label2->accessibleText = [this] { return arcText(ArcPlace::LowerPoint); };
    Picture1->onKeyDown = [this](const KeyEvent& key) { return pointKeys_->keyDown(key); };
    Picture1->keyMark = [this]() -> std::optional<KeyMark> {
        return pointKeys_ ? pointKeys_->mark() : std::nullopt;
    };
}

}  // namespace slope
