// SPDX-License-Identifier: GPL-3.0-or-later
// The distance-formula lesson: drag the end points of a segment AB and watch the right
// triangle AOB, its dotted projections and the formula row |AB| = √(|OA|² + |OB|²).
#pragma once

#include <memory>

#include "form.h"

namespace plane {
class PointKeys;
}

namespace distance {

class DistanceForm : public forms::Form {
public:
    explicit DistanceForm(forms::FormEnvironment& environment);
    ~DistanceForm() override;

    std::vector<forms::Variable> variables() const override;

protected:
    void Form_Load() override;

private:
    void buildLayout();
    void Image2_Click();
    void Command1_Click();
    void Command2_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Picture1_MouseDown(int button, int shift, float x, float y);
    void Picture1_MouseMove(int button, int shift, float x, float y);
    void MoveNearerEndpoint(float x, float y);
    void UpdateFormulaRow();
    void measureDistances(float x, float y);

    // Squared distances from the pointer to A (double) and to B (single), compared as
    // stored: the rounding of bb decides ties that are not exact.
    double aa = 0;
    float bb = 0;
    int stepCount = 0;
    std::unique_ptr<plane::PointKeys> pointKeys_;

    forms::Button* Command2;
    forms::Canvas* Picture2;
    forms::Timer* Timer2;
    forms::Button* Command1;
    forms::Timer* Timer1;
    forms::Canvas* Picture1;
    forms::LineShape* Line1;
    forms::Shape* shi;
    forms::Shape* zhong;
    forms::Label* Label3;
    forms::LineShape* Line5;
    forms::LineShape* Line4;
    forms::LineShape* Line3;
    forms::LineShape* Quillet;
    forms::Label* Label2;
    forms::Label* Label1;
    forms::Image* Image2;
    forms::Label* Label10;
    forms::Label* Label9;
    forms::Label* Label8;
    forms::Label* Label7;
    forms::Label* Label6;
    forms::Image* Image1;
    forms::Label* Label5;
    forms::Label* Label4;
    forms::Image* Image4;
};

}  // namespace distance
