// SPDX-License-Identifier: GPL-3.0-or-later
// The number text of the classic runtime: how numbers become captions and how typed text
// becomes a number. Unlike the classic conversions, the text never uses exponent
// notation, so a caption cut to its first characters still reads as the right number.
#pragma once

#include <string>
#include <string_view>

namespace forms {

// The shortest plain decimal (at most 7 significant digits) that reads back as the
// same single: 0.1f gives "0.1", 0.25f "0.25", -3.0f "-3", 1.2e-7f "0.00000012".
std::string singleText(float value);

// The same for a double, with at most 15 significant digits:
// sqrt(7.3125) gives "2.70416345659799".
std::string doubleText(double value);

// A number as Print writes it: a blank in place of the sign of a non-negative value,
// the single's text, then a trailing blank (" 3 ", "-1 ").
std::string printText(float value);

// Formats by a pattern such as "0.##" or "0.00": at least as many digits before the
// point as the pattern has '0's there, rounded (half away from zero) to as many
// decimals as it has '0' or '#' after the point, '#' decimals dropped when they are
// trailing zeros, no point when no decimals remain; a value that rounds to zero shows
// without a minus sign.
std::string formatPattern(double value, std::string_view pattern);

// The number the text begins with, leading blanks skipped; 0 when it begins with none.
// Full-width digits, "＋", "－", "．", "ｅ", "Ｅ" and the ideographic space count as their
// ASCII forms. A number beyond the double range gives an infinity of its sign.
double leadingNumber(std::string_view text);

}  // namespace forms
