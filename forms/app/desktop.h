// SPDX-License-Identifier: GPL-3.0-or-later
// What a lesson window hands to the desktop beyond its own window: a picture for the
// clipboard and the name of a file to save one in; and what it asks of it: where a window
// may lie. The running program asks the system; the tests and the replay harness record
// and answer by themselves.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

class QWidget;

namespace forms {

class Desktop {
public:
    virtual ~Desktop() = default;
    virtual void copyImage(const QImage& image) = 0;
    // Asks where to save a PNG picture, starting at `proposed` (a folder, or a file there),
    // and returns the name as typed; nothing when the teacher cancels. It never asks about
    // replacing a file itself: the name it returns may yet get an extension.
    virtual std::optional<QString> saveFileName(QWidget& parent, const QString& proposed) = 0;
    // Where the window may lie with its frame: its screen less panels and docks; nothing
    // when any size and place will do.
    virtual std::optional<QRect> windowArea(const QWidget& window) = 0;
};

class SystemDesktop : public Desktop {
public:
    void copyImage(const QImage& image) override;
    std::optional<QString> saveFileName(QWidget& parent, const QString& proposed) override;
    std::optional<QRect> windowArea(const QWidget& window) override;
};

class RecordingDesktop : public Desktop {
public:
    void copyImage(const QImage& image) override { copied = image; }
    std::optional<QString> saveFileName(QWidget&, const QString& proposed) override {
        proposals.push_back(proposed);
        return std::exchange(nextSaveName, std::nullopt);
    }
    std::optional<QRect> windowArea(const QWidget&) override { return area; }

    QImage copied;
    // The answer to the next file dialog only; after it, dialogs are cancelled.
    std::optional<QString> nextSaveName;
    // Where each file dialog started.
    std::vector<QString> proposals;
    // No screen to keep to unless a test gives one.
    std::optional<QRect> area;
};

}  // namespace forms
