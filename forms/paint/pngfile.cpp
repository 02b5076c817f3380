// SPDX-License-Identifier: GPL-3.0-or-later
#include "pngfile.h"

#include <sys/stat.h>

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

namespace forms {

std::optional<std::string> writePng(const QImage& image, const QString& path) {
    if (path.isEmpty()) return "no file name";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return "the picture cannot be encoded";

    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode)) return "it is a directory";
        // Renaming a temporary file over a device or a pipe would replace the node itself
        // (as root even /dev/full), so these are written in place.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return file.errorString().toStdString();
        if (file.write(bytes) != bytes.size()) return file.errorString().toStdString();
        return std::nullopt;
    }
    // Unbuffered, because a buffered write that stops short (a full disk, a file-size
    // limit) is not reported by the commit and would leave a truncated file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString().toStdString();
    if (file.write(bytes) != bytes.size()) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        return reason.empty() ? "the file was cut short" : reason;
    }
    if (!file.commit()) return file.errorString().toStdString();
    return std::nullopt;
}

}  // namespace forms
