// SPDX-License-Identifier: GPL-3.0-or-later
// The slope-formula lesson: drag the two points of a line and watch the slope triangle,
// the coordinate tags and the two marks of the inclination angle α follow.
#pragma once

#include <memory>

#include "form.h"

namespace plane {
class PointKeys;
}

namespace slope {

class SlopeForm : public forms::Form {
public:
    explicit SlopeForm(forms::FormEnvironment& environment);
    ~SlopeForm() override;

    std::vector<forms::Variable> variables() const override;

protected:
    void Form_Load() override;

private:
    // How a figure update was started: a press shows the construction and leaves the
    // point's name picture half a unit below it; a left-button move lifts the picture
    // level with the point and widens the pen for the arcs.
    enum class Gesture { Press, Move };
    // The two arcs of α: where the line crosses the x axis, and at the lower point.
    enum class ArcPlace { Axis, LowerPoint };

    void buildLayout();
    void Image2_Click();
    void Command1_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer4_Timer();
    void Picture1_MouseDown(int button, int shift, float x, float y);
    void Picture1_MouseMove(int button, int shift, float x, float y);

    void measureDistances(float x, float y);
    void UpdateFigure(float x, float y, Gesture gesture);
    void placeConstruction();
    void placeCornerLabel();
    void placeLegs();
    void placeLine();
    void placeCoordinateTags();
    // Where the line meets the x axis; only for a line that is not horizontal.
    double crossingPoint() const;
    void drawAngleArc(double x, double y);
    void placeRay();
    // An arc as a screen reader hears it: where it is and what kind of angle it shows, as
    // the pupil sees it, never the slope itself.
    std::string arcText(ArcPlace place) const;

    // Squared distances from the pointer to P1 (double) and to P2 (single), compared as
    // stored: the rounding of bb decides ties that are not exact.
    double aa = 0;
    float bb = 0;
    // The inclination in radians; a vertical line has the decimal right angle 1.57079633.
    double qingxie = 0;
    int stepCount = 0;
    std::unique_ptr<plane::PointKeys> pointKeys_;

    forms::Canvas* Picture1;
    forms::Button* Command1;
    forms::Image* Image1;
    forms::Label* Label5;
    forms::Image* Image2;
    forms::Timer* Timer1;
    forms::Timer* Timer2;
    forms::Timer* Timer3;
    forms::Timer* Timer4;
    forms::LineShape* Line1;
    forms::LineShape* Line6;
    forms::LineShape* Quillet;
    forms::LineShape* Line3;
    forms::LineShape* Line4;
    forms::LineShape* Line5;
    forms::LineShape* Line7;
    forms::LineShape* Line8;
    forms::LineShape* Line9;
    forms::Shape* shi;
    forms::Shape* zhong;
    forms::Label* Label1;
    forms::Label* Label2;
    forms::Label* Label3;
    forms::Image* Image3;
    forms::Image* Image5;
    forms::Image* Image6;
    forms::Image* Image7;
    forms::Image* Image8;
    forms::Image* Image9;
};

}  // namespace slope
