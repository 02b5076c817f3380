// SPDX-License-Identifier: GPL-3.0-or-later
// The axes routine: a fresh plane for the given ranges, with its ticks counted out from
// the origin.
#include <algorithm>

#include "inclinationform.h"
#include "tickcounter.h"

namespace inclination {

using namespace forms;

void InclinationForm::zuobiao(double xmin, double xmax, double ymin, double ymax) {
    Picture1->cls();
    Picture1->setFontItalic(true);
    if (!Picture1->setScale(xmin, ymax, xmax, ymin)) {
        msgBox("请输入完整的数据！", "警告", MessageIcon::Exclamation);
        return;
    }
    const double sx = (xmax - xmin) / 20;
    const double sy = (ymax - ymin) / 20;

    Picture1->line(xmin, 0, xmax - 0.5 * sx, 0, kBlack);
    Picture1->line(0, ymin, 0, ymax - 0.5 * sy, kBlack);

    // The ticks are counted from the origin however far away the visible range lies,
    // which for a range far from it would mean hundreds of millions of steps. Only the
    // ticks within a pixel of the canvas's own edges are drawn (the ranges rounded to
    // single precision, which may lie outside the typed ones), each where the counting
    // puts it. The counting towards the negative side mirrors the positive one exactly,
    // and 0 - v keeps the origin at +0 where the counter starts.
    const UserScale& shown = Picture1->scale();
    const double pixelX = shown.widthToUser(1);
    const double pixelY = shown.heightToUser(1);
    const double left = shown.left() - pixelX, right = shown.left() + shown.width() + pixelX;
    const double bottom = std::min(shown.top(), shown.top() + shown.height()) - pixelY;
    const double top = std::max(shown.top(), shown.top() + shown.height()) + pixelY;
    for (const double i : countedTicks(sx, xmax - sx, left, right))
        Picture1->line(i, 0, i, 0.2 * sy, kBlack);
    for (const double v : countedTicks(sx, -xmin, -right, -left))
        Picture1->line(0 - v, 0, 0 - v, 0.2 * sy, kBlack);
    for (const double j : countedTicks(sy, ymax - sy, bottom, top))
        Picture1->line(0, j, 0.2 * sx, j, kBlack);
    for (const double v : countedTicks(sy, -ymin, -top, -bottom))
        Picture1->line(0, 0 - v, 0.2 * sx, 0 - v, kBlack);

    const double arrowBaseX = xmax - 0.5 * sx;
    Picture1->line(xmax, 0, arrowBaseX, 0.15 * sy, kBlack);
    Picture1->line(xmax, 0, arrowBaseX, -0.15 * sy, kBlack);
    Picture1->line(arrowBaseX, -0.15 * sy, arrowBaseX, 0.15 * sy, kBlack);
    const double arrowBaseY = ymax - 0.5 * sy;
    Picture1->line(0, ymax, 0.1 * sx, arrowBaseY, kBlack);
    Picture1->line(0, ymax, -0.1 * sx, arrowBaseY, kBlack);
    Picture1->line(-0.1 * sx, arrowBaseY, 0.1 * sx, arrowBaseY, kBlack);

    Picture1->setCurrentX(arrowBaseX);
    Picture1->setCurrentY(0);
    Picture1->print("x");
    Picture1->setCurrentX(-0.5 * sx);
    Picture1->setCurrentY(ymax);
    Picture1->print("y");
    Picture1->setCurrentX(-0.5 * sx);
    Picture1->setCurrentY(0);
    Picture1->print("O");
}

}  // namespace inclination
