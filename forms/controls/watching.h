// SPDX-License-Identifier: GPL-3.0-or-later
// What a running form lets a program outside it watch, such as a replay harness or a
// test: its window-level variables and every drawing call its canvases make. The form
// does not know who watches, and nothing is kept unless someone does.
#pragma once

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "color.h"

namespace forms {

// A window-level variable of a lesson.
struct Variable {
    std::string name;
    std::variant<float, double, int> value;
};

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

using DrawingWatcher = std::function<void(const DrawingCall&)>;

class Inspectable {
public:
    virtual ~Inspectable() = default;
    virtual std::vector<Variable> variables() const { return {}; }
    // Calls the watcher with each drawing call from now on; an empty one stops watching.
    virtual void watchDrawing(DrawingWatcher watcher) = 0;
};

}  // namespace forms
