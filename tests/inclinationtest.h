// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the inclination lesson's tests: typed access to its controls and the
// drawing calls of a session, with the tick marks picked out of them.
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "lessontest.h"

namespace inclinationtest {

inline forms::Label& label(replay::Session& session, std::string_view name) {
    return lessontest::control<forms::Label>(session.form(), name);
}

inline forms::TextBox& box(replay::Session& session, std::string_view name) {
    return lessontest::control<forms::TextBox>(session.form(), name);
}

inline forms::Canvas& canvas(replay::Session& session) {
    return lessontest::control<forms::Canvas>(session.form(), "Picture1");
}

// The drawing calls since the last look.
inline QJsonArray drawn(replay::Session& session) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(session.takeState()))["drawn"]
        .toArray();
}

inline QJsonArray callsOf(const QJsonArray& calls, const QString& op) {
    QJsonArray found;
    for (const QJsonValue call : calls)
        if (call["op"] == op) found.append(call);
    return found;
}

// A coordinate of a drawing call: the state prints the single's shortest text.
inline float single(const QJsonValue& value) {
    return float(value.toDouble());
}

// The places of the tick marks along the x or y axis, in drawing order: each stands on
// its axis and reaches the given length across it.
inline QList<double> ticks(const QJsonArray& calls, char axis, double length) {
    const QString along = axis == 'x' ? "x" : "y", across = axis == 'x' ? "y" : "x";
    QList<double> found;
    for (const QJsonValue call : callsOf(calls, "Line")) {
        if (call[along + "1"] == call[along + "2"] && single(call[across + "1"]) == 0 &&
            single(call[across + "2"]) == float(length))
            found << single(call[along + "1"]);
    }
    return found;
}

// The values from first towards last by repeated addition of the step.
inline QList<double> counted(double first, double last, double step) {
    QList<double> values;
    for (double value = first; step > 0 ? value <= last : value >= last; value += step)
        values << value;
    return values;
}

// Types the four ranges into the panel, Text4 to Text7, and presses "确定".
inline void applyRanges(replay::Session& session, const QStringList& texts) {
    const char* names[] = {"Text4", "Text5", "Text6", "Text7"};
    for (int i = 0; i < 4; ++i) box(session, names[i]).setText(texts[i].toStdString());
    lessontest::run(session, "click Command4");
}

}  // namespace inclinationtest
