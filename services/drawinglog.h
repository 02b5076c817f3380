// SPDX-License-Identifier: GPL-3.0-or-later
// A record of the drawing calls made on a canvas, for the replay harness and the tests.
// Nothing is recorded unless a log is attached, so a running lesson keeps no history.
#pragma once

#include <string>
#include <vector>

#include "color.h"

namespace forms {

enum class DrawingOp { Line, PSet, Circle, Print, Cls };

struct DrawingCall {
    DrawingOp op;
    float x1 = 0;  // Line: both ends; PSet, Circle, Print: the point in x1, y1
    float y1 = 0;
    float x2 = 0;
    float y2 = 0;
    float radius = 0;
    float start = 0;
    float end = 0;
    Color color = 0;
    int width = 0;
    std::string text;
    double fontSize = 0;
    bool italic = false;
    bool persistent = false;
};

using DrawingLog = std::vector<DrawingCall>;

}  // namespace forms
