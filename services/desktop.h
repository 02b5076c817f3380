// SPDX-License-Identifier: GPL-3.0-or-later
// What a lesson window hands to the desktop beyond its own window: a picture for the
// clipboard and the name of a file to save one in. The running program asks the system;
// the tests and the replay harness record and answer by themselves.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

class QWidget;

namespace forms {

class Desktop {
public:
    virtual ~Desktop() = default;
    virtual void copyImage(const QImage& image) = 0;
    // Asks where to save a PNG picture; nothing when the teacher cancels.
    virtual std::optional<QString> saveFileName(QWidget& parent) = 0;
};

class SystemDesktop : public Desktop {
public:
    void copyImage(const QImage& image) override;
    std::optional<QString> saveFileName(QWidget& parent) override;
};

class RecordingDesktop : public Desktop {
public:
    void copyImage(const QImage& image) override { copied = image; }
    std::optional<QString> saveFileName(QWidget&) override { return nextSaveName; }

    QImage copied;
    std::optional<QString> nextSaveName;
};

}  // namespace forms
