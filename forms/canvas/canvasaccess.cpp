// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvasaccess.h"

#include <QWidget>

#include "canvas.h"

namespace forms {

void CanvasAccess::setName(const std::string& name) {
    canvas_.widget().setAccessibleName(QString::fromStdString(name));
}

void CanvasAccess::setDescription(const std::string& description) {
    canvas_.widget().setAccessibleDescription(QString::fromStdString(description));
}

std::string CanvasAccess::state() const {
    return canvas_.accessibleState ? canvas_.accessibleState() : std::string();
}

}  // namespace forms
