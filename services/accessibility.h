// SPDX-License-Identifier: GPL-3.0-or-later
// Screen-reader access to the windowless controls. The classic labels and images have no
// window of their own, so the toolkit cannot see them; these interfaces expose each one
// as a child of the widget that paints it, with its current text.
#pragma once

namespace forms {

// Installs the accessibility factory once per process. The form calls it.
void installAccessibility();

}  // namespace forms
