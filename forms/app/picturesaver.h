// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a picture of the window where the teacher says, as a classic program's Save As
// does, but careful with what is there: a name typed without an extension gets ".png", a
// file of the final name is replaced only when the teacher agrees, and the dialog opens
// in the folder last saved into while the program runs.
#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace forms {

class Desktop;
class MessagePresenter;

class PictureSaver {
public:
    PictureSaver(Desktop& desktop, MessagePresenter& messages);

    // Asks for a name and writes the picture there whole or not at all; says so in a box
    // when it could not.
    void save(QWidget& parent, const QImage& image);

    // Where the file dialog opens: the folder chosen last while it is there, else the
    // pictures folder, else home. A folder that is not there would be taken for a file
    // name in its parent.
    QString startFolder() const;

private:
    Desktop& desktop_;
    MessagePresenter& messages_;
    QString lastFolder_;
};

}  // namespace forms
