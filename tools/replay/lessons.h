// SPDX-License-Identifier: GPL-3.0-or-later
// The lessons the harness can run, by program name.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "form.h"

namespace replay {

std::unique_ptr<forms::Form> makeLesson(std::string_view name, forms::FormEnvironment& environment);
std::vector<std::string_view> lessonNames();

}  // namespace replay
