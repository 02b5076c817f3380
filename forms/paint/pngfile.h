// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a picture to a PNG file, whole or not at all. Everything that saves a picture
// goes through it: a buffered write hides a full disk until it is too late to say so.
#pragma once

#include <QImage>
#include <QString>
#include <optional>
#include <string>

namespace forms {

// Writes the image as a PNG file; returns why it could not. A regular file (or a new one)
// is written through a temporary file renamed over it, so a failure leaves it as it was;
// a device or a pipe is written in place, never replaced; a directory is refused.
std::optional<std::string> writePng(const QImage& image, const QString& path);

}  // namespace forms
