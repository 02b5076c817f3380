// SPDX-License-Identifier: GPL-3.0-or-later
// Texts that Qt itself puts on screen (message box buttons, the file dialog, an edit's
// context menu) in Chinese whatever the system's locale, as every other text of a lesson.
#pragma once

namespace forms {

// Installs the translations once per application; later calls do nothing.
void installChineseTexts();

}  // namespace forms
