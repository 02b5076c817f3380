// SPDX-License-Identifier: GPL-3.0-or-later
// The inclination-angle calculator: a line turns about the pivot (2, 0) to pass through
// the pointer, a red arc marks its inclination, and the readouts under the plane show the
// angle and the slope. A panel to the right of the window's design width sets the ranges
// of the axes; it comes into view when the pupil widens the window.
#pragma once

#include "form.h"

namespace inclination {

class InclinationForm : public forms::Form {
public:
    explicit InclinationForm(forms::FormEnvironment& environment);
    ~InclinationForm() override;

    std::vector<forms::Variable> variables() const override;

protected:
    void Form_Load() override;

private:
    void buildLayout();
    void zuobiao(double xmin, double xmax, double ymin, double ymax);
    void Command3_Click();
    void Command4_Click();
    void Picture1_MouseMove(int button, int shift, float x, float y);
    void putDefaultRanges();
    void readRanges();
    // The keyboard's pointer: arrows step it over the canvas as the mouse would move.
    bool stepKeyPointer(const forms::KeyEvent& key);

    double rangeXMin = 0;
    double rangeXMax = 0;
    double rangeYMin = 0;
    double rangeYMax = 0;
    double lineAngle = 0;  // radians, counter-clockwise from the positive x direction
    // Where the line last turned toward, and so where the keyboard's pointer starts: at
    // start-up a point on the initial line.
    float keyPointerX = 4;
    float keyPointerY = 2;

    forms::Button* Command3;
    forms::Button* Command4;
    forms::TextBox* Text7;
    forms::TextBox* Text6;
    forms::TextBox* Text5;
    forms::TextBox* Text4;
    forms::Label* Label5;
    forms::Label* Label6;
    forms::Label* Label7;
    forms::Label* Label8;
    forms::Label* Label9;
    forms::Label* Label10;
    forms::Canvas* Picture1;
    forms::LineShape* Line1;
    forms::Label* Label1;
    forms::Label* Label2;
    forms::Label* Label3;
    forms::Label* Label4;
    forms::Label* Label11;
    forms::Image* Image1;
    forms::Image* Image2;
};

}  // namespace inclination
