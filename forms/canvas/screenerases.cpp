// SPDX-License-Identifier: GPL-3.0-or-later
#include "screenerases.h"

#include <utility>

#include "canvaslayers.h"

namespace forms {

void ScreenErases::erase(const QRect& area) {
    if (pendingErases_.empty() || pendingErases_.back() != area) pendingErases_.push_back(area);
}

void ScreenErases::settle() {
    const std::vector<QRect> pending = std::exchange(pendingErases_, {});
    if (pending.empty()) return;
    layers_.paintWaitingMarks();  // drawn before the erases, so under them
    Layer& screen = layers_.screen();
    QRegion erased;
    for (const QRect& area : pending) erased += area;
    // Each device pixel a logical one touches, so however the region falls into rectangles
    // the same pixels are cleared.
    if (const QRegion cleared = screenDrawing_ & erased; !cleared.isEmpty()) {
        // Written to directly: a painter kept on a shared image would go on drawing into
        // the copy that writing leaves behind.
        if (!screen.image.isDetached()) layers_.endPainting();
        for (const QRect& part : cleared)
            clearPixels(screen.image, deviceArea(part, layers_.ratio()));
        screenDrawing_ -= erased;
    }
    if (!screen.replayable) return;
    // A mark wholly erased since is forgotten; an erase is kept while older marks remain.
    std::vector<Mark>& marks = screen.marks;
    for (Mark& mark : marks) {
        if (erased.intersects(mark.reach)) mark.uncovered -= erased;
    }
    for (const QRect& area : pending) screenErases_.push_back({layers_.nextSerial(), area});
    std::erase_if(marks, [](const Mark& mark) { return mark.uncovered.isEmpty(); });
    layers_.screenMarksPainted();
    const std::uint64_t oldest = marks.empty() ? layers_.nextSerial() : marks.front().serial;
    std::erase_if(screenErases_,
                  [oldest](const ScreenErase& erase) { return erase.serial <= oldest; });
    checkInvariants();
}

std::optional<QRegion> ScreenErases::left(const Mark& mark, double ratio) const {
    std::optional<QRegion> clip;
    for (const ScreenErase& erase : screenErases_) {
        if (erase.serial <= mark.serial || !erase.area.intersects(mark.reach)) continue;
        if (!clip) clip = QRegion(deviceArea(mark.reach, ratio));
        *clip -= deviceArea(erase.area, ratio);
    }
    return clip;
}

void ScreenErases::clear() {
    pendingErases_.clear();
    screenErases_.clear();
    screenDrawing_ = QRegion();
}

void ScreenErases::checkInvariants() const {
    const std::vector<Mark>& marks = layers_.screen().marks;
    for (std::size_t i = 1; i < screenErases_.size(); ++i)
        Q_ASSERT(screenErases_[i - 1].serial <= screenErases_[i].serial);
    if (!screenErases_.empty())
        Q_ASSERT(!marks.empty() && screenErases_.front().serial > marks.front().serial);
    for (const Mark& mark : marks) Q_ASSERT(!mark.uncovered.isEmpty());
}

}  // namespace forms
