// SPDX-License-Identifier: GPL-3.0-or-later
// The version and licence the programs show in their help box and print for --version.
#pragma once

namespace forms {

// The build gives the project's version.
inline constexpr const char kLessonsVersion[] = LESSONS_VERSION;
inline constexpr const char kLessonsLicence[] = "GPL-3.0-or-later";

}  // namespace forms
