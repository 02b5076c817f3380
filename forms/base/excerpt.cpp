// SPDX-License-Identifier: GPL-3.0-or-later
#include "excerpt.h"

namespace forms {

std::string excerpt(std::string_view text) {
    constexpr int kLongest = 80;
    std::string shown;
    int characters = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const bool continuation = (byte & 0xC0) == 0x80;
        if (!continuation && characters++ == kLongest) return shown + "...";
        shown += byte < 0x20 || byte == 0x7F ? '?' : char(byte);
    }
    return shown;
}

}  // namespace forms
