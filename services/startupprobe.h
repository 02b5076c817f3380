// SPDX-License-Identifier: GPL-3.0-or-later
// A probe for measuring start-up: with LESSONS_STARTUP_PROBE set in the environment, the
// program prints the monotonic time of its window's first paint and its peak memory so
// far, then quits. Without it, nothing changes.
#pragma once

class QWidget;

namespace forms {

void armStartupProbe(QWidget& window);

}  // namespace forms
