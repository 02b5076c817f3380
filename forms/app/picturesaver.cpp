// SPDX-License-Identifier: GPL-3.0-or-later
#include "picturesaver.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "desktop.h"
#include "messagebox.h"
#include "pngfile.h"

namespace forms {

PictureSaver::PictureSaver(Desktop& desktop, MessagePresenter& messages)
    : desktop_(desktop), messages_(messages) {}

QString PictureSaver::startFolder() const {
    for (const QString& folder :
         {lastFolder_, QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    }
    return QDir::homePath();
}

void PictureSaver::save(QWidget& parent, const QImage& image) {
    QString proposed = startFolder();
    for (;;) {
        const std::optional<QString> typed = desktop_.saveFileName(parent, proposed);
        if (!typed) return;
        QString name = *typed;
        if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".png");
        const QFileInfo target(name);
        lastFolder_ = target.absolutePath();
        if (target.exists() && !target.isDir()) {
            const Message question{
                "“" + target.fileName().toStdString() + "”已经存在。\n要替换它吗？", "保存图片",
                MessageIcon::Exclamation};
            // Declined: back to the dialog at that name, as the dialog itself would.
            if (!messages_.ask(parent, question, "替换")) {
                proposed = name;
                continue;
            }
        }
        if (writePng(image, name)) {
            messages_.present(
                parent, {"无法保存图片：\n" + name.toStdString() + "\n请换一个文件夹或文件名再试。",
                         "保存图片", MessageIcon::Exclamation});
        }
        return;
    }
}

}  // namespace forms
