// SPDX-License-Identifier: GPL-3.0-or-later
// The state of a running lesson as one line of JSON: its controls, its window-level
// variables, the message boxes shown so far and the drawing calls since the last report.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "form.h"
#include "messagebox.h"

namespace replay {

using DrawingLog = std::vector<forms::DrawingCall>;

std::string stateJson(std::string_view lesson, const forms::Form& form, double zoomPercent,
                      const std::vector<forms::Message>& messages, const DrawingLog& drawn);

// Numbers as the state prints them: the shortest decimal that reads back as the same
// single or double.
std::string jsonNumber(float value);
std::string jsonNumber(double value);

}  // namespace replay
