// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace forms {

namespace {

// A decimal number as its significant digits and the place of the point: the value is
// 0.digits times ten to the power point. Zero has no digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int point = 0;
};

void dropTrailingZeros(Decimal& number) {
    const auto last = number.digits.find_last_not_of('0');
    number.digits.erase(last == std::string::npos ? 0 : last + 1);
    if (number.digits.empty()) number.point = 0;
}

// Reads the output of to_chars in scientific format, such as "-2.5e+01".
Decimal fromScientific(std::string_view text) {
    Decimal number;
    number.negative = text.front() == '-';
    if (number.negative) text.remove_prefix(1);
    const auto e = text.find('e');
    for (char c : text.substr(0, e)) {
        if (c != '.') number.digits += c;
    }
    int exponent = 0;
    std::string_view exponentText = text.substr(e + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    number.point = exponent + 1;
    dropTrailingZeros(number);
    return number;
}

// The shortest digits that read back as the same value, or the value rounded to
// maxDigits significant digits when the shortest needs more.
template <typename T>
Decimal shortestDecimal(T value, int maxDigits) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    Decimal number = fromScientific(std::string_view(buffer, result.ptr));
    if (number.digits.size() > static_cast<std::size_t>(maxDigits)) {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                               maxDigits - 1);
        number = fromScientific(std::string_view(buffer, result.ptr));
    }
    return number;
}

// Captions must never read "nan" or "inf": NaN shows as 0, an infinity as the largest value.
template <typename T>
T finiteOrLimit(T value) {
    if (std::isnan(value)) return T(0);
    if (std::isinf(value)) return std::copysign(std::numeric_limits<T>::max(), value);
    return value;
}

// Rounds half away from zero to the given number of decimals.
void roundToDecimals(Decimal& number, int decimals) {
    const int keep = number.point + decimals;
    if (keep >= static_cast<int>(number.digits.size())) return;
    if (keep < 0) {
        number.digits.clear();
        number.point = 0;
        return;
    }
    const bool up = number.digits[static_cast<std::size_t>(keep)] >= '5';
    number.digits.erase(static_cast<std::size_t>(keep));
    if (up) {
        auto it = number.digits.rbegin();
        while (it != number.digits.rend() && *it == '9') *it++ = '0';
        if (it == number.digits.rend()) {
            number.digits.insert(number.digits.begin(), '1');
            ++number.point;
        } else {
            ++*it;
        }
    }
    dropTrailingZeros(number);
}

std::string render(const Decimal& number, int minIntegerDigits, int minDecimals) {
    const int size = static_cast<int>(number.digits.size());
    std::string integer;
    std::string fraction;
    if (number.point > 0) {
        integer = number.digits.substr(0, static_cast<std::size_t>(std::min(number.point, size)));
        integer.append(static_cast<std::size_t>(std::max(0, number.point - size)), '0');
    }
    if (number.point < size) {
        fraction.assign(static_cast<std::size_t>(std::max(0, -number.point)), '0');
        fraction += number.digits.substr(static_cast<std::size_t>(std::max(0, number.point)));
    }
    if (static_cast<int>(integer.size()) < minIntegerDigits) {
        integer.insert(0, static_cast<std::size_t>(minIntegerDigits) - integer.size(), '0');
    }
    if (static_cast<int>(fraction.size()) < minDecimals) {
        fraction.append(static_cast<std::size_t>(minDecimals) - fraction.size(), '0');
    }
    std::string text = number.negative && !number.digits.empty() ? "-" : "";
    text += integer;
    if (!fraction.empty()) text += '.' + fraction;
    return text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isDigit(text[pos])) ++pos;
    return pos;
}

// With a Chinese input method on, a pupil types "１０" or "　5" as easily as "10": the
// full-width digits, signs, point, e and the ideographic space read as their ASCII
// forms. Everything else is kept as it is, so "５ｘ" still reads as 5.
std::string asciiNumberForms(std::string_view text) {
    std::string ascii;
    ascii.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = [&](std::size_t offset) {
            return at + offset < text.size() ? static_cast<unsigned char>(text[at + offset]) : 0;
        };
        if (byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) {
            ascii += ' ';  // U+3000
        } else if (byte(0) == 0xEF && byte(1) == 0xBC && byte(2) >= 0x80 && byte(2) <= 0xBF &&
                   std::string_view("+-.0123456789E").find(char(byte(2) - 0x80 + 0x20)) !=
                       std::string_view::npos) {
            ascii += char(byte(2) - 0x80 + 0x20);  // U+FF0B to U+FF25
        } else if (byte(0) == 0xEF && byte(1) == 0xBD && byte(2) == 0x85) {
            ascii += 'e';  // U+FF45
        } else {
            ascii += text[at];
            continue;
        }
        at += 2;
    }
    return ascii;
}

}  // namespace

std::string singleText(float value) {
    return render(shortestDecimal(finiteOrLimit(value), 7), 1, 0);
}

std::string doubleText(double value) {
    return render(shortestDecimal(finiteOrLimit(value), 15), 1, 0);
}

std::string printText(float value) {
    const std::string text = singleText(value);
    return text.front() == '-' ? text + ' ' : ' ' + text + ' ';
}

std::string formatPattern(double value, std::string_view pattern) {
    const std::size_t integerZeros = std::min(pattern.find_first_not_of('0'), pattern.size());
    const std::string_view rest = pattern.substr(integerZeros);
    std::string_view decimals;
    bool supported = integerZeros > 0;
    if (!rest.empty()) {
        supported = supported && rest.front() == '.' &&
                    rest.find_first_not_of("0#", 1) == std::string_view::npos;
        decimals = rest.substr(1);
    }
    // Any other pattern is beyond what the lessons use, so it shows the plain number.
    if (!supported) return doubleText(value);

    // Rounding works on the value as its 15 significant digits show it, so 2.675 rounds up
    // the way a pupil expects although its binary value lies just below.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, finiteOrLimit(value),
                                      std::chars_format::scientific, 14);
    Decimal number = fromScientific(std::string_view(buffer, result.ptr));
    const int maxDecimals = static_cast<int>(decimals.size());
    const auto lastZero = decimals.find_last_of('0');
    const int minDecimals = lastZero == std::string_view::npos ? 0 : static_cast<int>(lastZero) + 1;
    roundToDecimals(number, maxDecimals);
    return render(number, static_cast<int>(integerZeros), minDecimals);
}

double leadingNumber(std::string_view typed) {
    // Only text that holds a three-byte character can hold a full-width form.
    std::string ascii;
    const bool wide = typed.find_first_of("\xE3\xEF") != std::string_view::npos;
    if (wide) ascii = asciiNumberForms(typed);
    const std::string_view text = wide ? std::string_view(ascii) : typed;
    std::size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string_view::npos) return 0.0;
    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') negative = text[pos++] == '-';
    const std::size_t integerStart = pos;
    const std::size_t integerEnd = skipDigits(text, pos);
    std::size_t fractionStart = integerEnd;
    std::size_t fractionEnd = integerEnd;
    if (integerEnd < text.size() && text[integerEnd] == '.') {
        fractionStart = integerEnd + 1;
        fractionEnd = skipDigits(text, fractionStart);
    }
    if (integerEnd == integerStart && fractionEnd == fractionStart) return 0.0;

    std::string_view exponent;
    pos = fractionEnd;
    if (pos < text.size() && std::string_view("eEdD").find(text[pos]) != std::string_view::npos) {
        std::size_t digits = pos + 1;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) ++digits;
        const std::size_t exponentEnd = skipDigits(text, digits);
        if (exponentEnd > digits) exponent = text.substr(pos + 1, exponentEnd - pos - 1);
    }

    const std::string_view integer = text.substr(integerStart, integerEnd - integerStart);
    const std::string_view fraction = text.substr(fractionStart, fractionEnd - fractionStart);
    std::string normal = negative ? "-" : "";
    normal.reserve(integer.size() + fraction.size() + exponent.size() + 4);
    normal += integer.empty() ? "0" : integer;
    if (!fraction.empty()) (normal += '.') += fraction;
    if (!exponent.empty()) (normal += 'e') += exponent;

    double value = 0.0;
    const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (result.ec != std::errc::result_out_of_range) return value;

    // Out of range is either too large or too small; the place of the first significant
    // digit tells which, with the exponent saturated so that huge exponents cannot overflow.
    std::int64_t magnitude = 0;
    const auto firstInteger = integer.find_first_not_of('0');
    if (firstInteger != std::string_view::npos) {
        magnitude = static_cast<std::int64_t>(integer.size() - firstInteger);
    } else {
        const auto firstFraction = fraction.find_first_not_of('0');
        magnitude = -static_cast<std::int64_t>(std::min(firstFraction, fraction.size()));
    }
    std::int64_t exponentValue = 0;
    for (char c : exponent) {
        if (isDigit(c))
            exponentValue =
                std::min<std::int64_t>(exponentValue * 10 + (c - '0'), 1'000'000'000'000);
    }
    magnitude += exponent.starts_with('-') ? -exponentValue : exponentValue;
    if (magnitude <= 0) return 0.0;
    const double infinity = std::numeric_limits<double>::infinity();
    return negative ? -infinity : infinity;
}

}  // namespace forms
