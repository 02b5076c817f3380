// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for lesson tests: a lesson run headless on the virtual clock, and typed access
// to its controls and window-level variables by name.
#pragma once

#include <QLineF>
#include <QString>
#include <QTest>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

#include "session.h"

namespace lessontest {

template <class ControlType>
ControlType& control(forms::Form& form, std::string_view name) {
    auto* found = dynamic_cast<ControlType*>(form.control(name));
    if (!found) throw std::logic_error("no control " + std::string(name) + " of that kind");
    return *found;
}

inline double variable(const forms::Form& form, std::string_view name) {
    for (const forms::Variable& variable : form.variables()) {
        if (variable.name == name)
            return std::visit([](auto value) { return double(value); }, variable.value);
    }
    throw std::logic_error("no variable " + std::string(name));
}

// Runs script lines (one per line of the text) and fails the test on a malformed one.
inline void run(replay::Session& session, std::string_view script) {
    size_t at = 0;
    while (at <= script.size()) {
        const size_t end = std::min(script.find('\n', at), script.size());
        const auto error = session.run(script.substr(at, end - at));
        if (error) throw std::logic_error("script line failed: " + *error);
        at = end + 1;
    }
}

// A line's ends, to nine digits, for failure messages.
inline QString lineText(const QLineF& line) {
    return QString("(%1, %2)-(%3, %4)")
        .arg(line.x1(), 0, 'g', 9)
        .arg(line.y1(), 0, 'g', 9)
        .arg(line.x2(), 0, 'g', 9)
        .arg(line.y2(), 0, 'g', 9);
}

}  // namespace lessontest

namespace QTest {

// Readable failure messages when line ends are compared.
template <>
inline char* toString(const QLineF& line) {
    return qstrdup(qPrintable(lessontest::lineText(line)));
}

}  // namespace QTest
