// SPDX-License-Identifier: GPL-3.0-or-later
// drag-cpu-benchmark --callgrind: the instructions a program executes per drag step, counted
// by callgrind, which neither the machine's load nor its clock changes.
#pragma once

#include <vector>

#include "x_drag.h"

// Prints each program's instructions per step (median of the runs, and their spread), at
// 100 % and full screen, beside the floor's; false when a measurement failed.
bool countInstructions(const xdrag::Program& floor, const std::vector<xdrag::Program>& lessons,
                       int steps, int runs, bool each);
