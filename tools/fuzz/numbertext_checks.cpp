// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbertext_checks.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "numbertext.h"

namespace numberfuzz {

namespace {

bool isPlainDecimal(const std::string& text) {
    if (text.empty()) return false;
    size_t at = text[0] == '-' ? 1 : 0;
    if (at == text.size()) return false;
    bool point = false;
    for (; at < text.size(); ++at) {
        if (text[at] == '.' && !point) {
            point = true;
        } else if (text[at] < '0' || text[at] > '9') {
            return false;
        }
    }
    return text.back() != '.';
}

int significantDigits(const std::string& text) {
    const size_t first = text.find_first_of("123456789");
    if (first == std::string::npos) return 0;
    std::string digits;
    for (size_t at = first; at < text.size(); ++at)
        if (text[at] != '.') digits += text[at];
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    return int(digits.size());
}

template <class Number>
std::string checkShortest(Number value, const std::string& text, int maxDigits) {
    if (!isPlainDecimal(text)) return "not a plain decimal: " + text;
    if (!std::isfinite(value)) return {};
    if (significantDigits(text) > maxDigits) return "too many digits: " + text;
    Number back{};
    std::from_chars(text.data(), text.data() + text.size(), back);
    char shortest[64];
    const auto end = std::to_chars(shortest, shortest + sizeof shortest, value).ptr;
    const std::string_view exact(shortest, size_t(end - shortest));
    const size_t mantissaEnd = std::min(exact.find('e'), exact.size());
    const int needed = significantDigits(std::string(exact.substr(0, mantissaEnd)));
    if (needed <= maxDigits && back != value && !(value == 0 && back == 0))
        return "does not read back: " + text;
    if (std::abs(double(back) - double(value)) >
        std::abs(double(value)) * 6 * std::pow(10.0, -maxDigits))
        return "too far from the value: " + text;
    return {};
}

std::string checkPattern(double value) {
    const std::string text = forms::formatPattern(value, "0.##");
    if (!isPlainDecimal(text)) return "pattern gives " + text;
    const size_t point = text.find('.');
    if (point != std::string::npos && (text.size() - point - 1 > 2 || text.back() == '0'))
        return "pattern decimals wrong: " + text;
    if (text == "-0") return "negative zero shown";
    if (std::isfinite(value) && std::abs(value) < 1e12) {
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (std::abs(back - value) > 0.005 + 1e-9 * std::abs(value))
            return "pattern too far from the value: " + text;
    }
    return {};
}

}  // namespace

std::string check(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    const std::uint8_t mode = data[0] % 3;
    ++data;
    --size;
    if (mode == 0 && size >= sizeof(float)) {
        float value;
        std::memcpy(&value, data, sizeof value);
        if (auto failure = checkShortest(value, forms::singleText(value), 7); !failure.empty())
            return failure;
        return checkPattern(double(value));
    }
    if (mode == 1 && size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        if (auto failure = checkShortest(value, forms::doubleText(value), 15); !failure.empty())
            return failure;
        return checkPattern(value);
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = forms::leadingNumber(text);
    if (std::isnan(value)) return "leading number is NaN";
    // Whatever was read must print as plain text again.
    return checkPattern(value);
}

}  // namespace numberfuzz
