// SPDX-License-Identifier: GPL-3.0-or-later
// The window of the inclination lesson as designed, control by control in design order.
// The panel's labels come before its picture so that they lie above it.
#include "emblem.h"
#include "inclinationform.h"
#include "inclinationpictures.h"
#include "numbertext.h"

namespace inclination {

using namespace forms;

namespace {

constexpr Color kWindowGrey = 0x00E0E0E0;
const FontSpec kBoxFont{"宋体", 14.25};
const FontSpec kHeadingFont{"楷体_GB2312", 14.25, true};
const FontSpec kRowFont{"楷体_GB2312", 12, true};
const FontSpec kReadoutFont{"宋体", 12};
const FontSpec kReadoutCaptionFont{"宋体", 12, true};

LabelDesign panelLabel(const char* name, TwipsRect rect, const char* caption,
                       const FontSpec& font) {
    return {.name = name,
            .rect = rect,
            .caption = caption,
            .font = font,
            .autoSize = false,
            .transparent = true};
}

}  // namespace

void InclinationForm::buildLayout() {
    Command3 =
        addButton({.name = "Command3", .rect = {10440, 5280, 975, 375}, .caption = "清除数据"});
    // Enter in a range box applies the ranges, as in any form.
    Command4 = addButton(
        {.name = "Command4", .rect = {9600, 5280, 735, 375}, .caption = "确定", .isDefault = true});
    Text7 = addTextBox({.name = "Text7", .rect = {10440, 4200, 855, 495}, .font = kBoxFont});
    Text6 = addTextBox({.name = "Text6", .rect = {10440, 3480, 855, 495}, .font = kBoxFont});
    Text5 = addTextBox({.name = "Text5", .rect = {10440, 2280, 855, 495}, .font = kBoxFont});
    Text4 = addTextBox({.name = "Text4", .rect = {10440, 1680, 855, 495}, .font = kBoxFont});

    // Each row's caption names the role of the box beside it: Text4 and Text6 supply the
    // maximum, Text5 and Text7 the minimum.
    Label5 = addLabel(panelLabel("Label5", {10200, 3000, 975, 495}, "y轴", kHeadingFont));
    Label6 = addLabel(panelLabel("Label6", {10200, 1200, 855, 375}, "x轴", kHeadingFont));
    Label7 = addLabel(panelLabel("Label7", {9480, 4320, 1095, 495}, "最小值：", kRowFont));
    Label8 = addLabel(panelLabel("Label8", {9480, 3600, 1215, 495}, "最大值：", kRowFont));
    Label9 = addLabel(panelLabel("Label9", {9480, 2400, 1335, 495}, "最小值：", kRowFont));
    Label10 = addLabel(panelLabel("Label10", {9480, 1680, 1215, 495}, "最大值：", kRowFont));

    Picture1 = addCanvas({.name = "Picture1",
                          .rect = {120, 600, 6015, 5655},
                          .backColor = SystemColor::Window,
                          .foreColor = SystemColor::WindowText,
                          .autoRedraw = true});
    Line1 =
        addLine({.name = "Line1", .x1 = 1680, .y1 = 3120, .x2 = 4080, .y2 = 2160, .color = kBlue},
                Picture1);

    Label1 = addLabel({.name = "Label1",
                       .rect = {2160, 6480, 2175, 495},
                       .font = kReadoutFont,
                       .backColor = kWindowGrey,
                       .autoSize = false});
    Label2 = addLabel({.name = "Label2",
                       .rect = {360, 6480, 1815, 375},
                       .caption = "Tavrelo：",
                       .font = kReadoutCaptionFont,
                       .backColor = kWindowGrey,
                       .autoSize = false});
    Label3 = addLabel({.name = "Label3",
                       .rect = {960, 120, 4215, 615},
                       .caption = "Tavrelo与斜率",
                       .font = {"隶书", 21.75, true},
                       .foreColor = 0x00C00000,
                       .backColor = kWindowGrey,
                       .autoSize = false});
    Label4 = addLabel({.name = "Label4",
                       .rect = {1920, 6960, 1575, 375},
                       .font = kReadoutFont,
                       .backColor = kWindowGrey,
                       .autoSize = false});
    Label11 = addLabel({.name = "Label11",
                        .rect = {360, 6960, 1575, 255},
                        .caption = "直线的斜率：",
                        .font = kReadoutCaptionFont,
                        .backColor = kWindowGrey,
                        .autoSize = false});

    Image1 = addImage({.name = "Image1",
                       .left = 9000,
                       .top = 600,
                       .picture = panelPicture(),
                       .accessibleName = "设置坐标系"});
    Image2 = addImage({.name = "Image2",
                       .left = 5280,
                       .top = 6360,
                       .picture = emblem::picture(QColor(0x78, 0x64, 0xDC), Qt::transparent),
                       .accessibleName = "徽标"});

    Command3->onClick = [this] { Command3_Click(); };
    Command4->onClick = [this] { Command4_Click(); };
    Picture1->onMouseMove = [this](const MouseEvent& e) {
        keyPointerX = e.x;
        keyPointerY = e.y;
        Picture1_MouseMove(e.button, e.shift, e.x, e.y);
    };

    Picture1->setAccessibleName("坐标平面");
    Label1->labelledBy = Label2;
    Label4->labelledBy = Label11;
    // Named by the role each box plays, which is not always what its row's caption says.
    Text4->setAccessibleName("x 最大值");
    Text5->setAccessibleName("x 最小值");
    Text6->setAccessibleName("y 最大值");
    Text7->setAccessibleName("y 最小值");
    Picture1->setAccessibleDescription("方向键移动指针 0.5，Shift 加方向键移动 0.1");
    Picture1->accessibleState = [this] {
        return "指针 (" + formatPattern(keyPointerX, "0.##") + ", " +
               formatPattern(keyPointerY, "0.##") + ")";
    };
    Line1->setAccessibleName("绕点 (2, 0) 转动的直线");
    Picture1->onKeyDown = [this](const KeyEvent& key) { return stepKeyPointer(key); };
    Picture1->keyHelp = {{"方向键", "把指针移动 0.5，直线随之转动"},
                         {"Shift+方向键", "把指针移动 0.1"}};
    Picture1->keyMark = [this]() -> std::optional<KeyMark> {
        return KeyMark{KeyMarkShape::Cross, keyPointerX, keyPointerY};
    };
}

}  // namespace inclination
