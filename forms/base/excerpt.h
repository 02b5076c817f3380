// SPDX-License-Identifier: GPL-3.0-or-later
// Text that came from outside (an option, a script line) quoted in a message: a hostile
// value may be a megabyte long, and a control character could rewrite the terminal.
#pragma once

#include <string>
#include <string_view>

namespace forms {

// At most the first 80 characters of UTF-8 text, then "..."; control characters as '?'.
std::string excerpt(std::string_view text);

}  // namespace forms
