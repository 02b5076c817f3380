// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a lesson as a desktop program: the application, the font mapping, the real clock
// and real message boxes, then the window until it is closed.
#pragma once

#include <functional>
#include <memory>

#include "form.h"

namespace forms {

using FormFactory = std::function<std::unique_ptr<Form>(FormEnvironment&)>;

int runLesson(int argc, char** argv, const FormFactory& makeForm);

}  // namespace forms
