// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas's two pictures and the drawing calls they keep: the persistent layer, which
// AutoRedraw drawing goes to and a clear fills with the back colour, and the screen-only
// layer above it, transparent but for what was drawn with AutoRedraw off. Each keeps the
// calls that made it, so that at a new zoom or pixel ratio it is drawn afresh, never scaled.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "watching.h"

class QPainter;

namespace forms {

class ScreenErases;

// One drawing call as it reached the layer, in the canvas's logical pixels at zoom 1.
struct Mark {
    DrawingOp op;
    QPointF a;        // Line: first end; PSet: centre; Print: top left
    QPointF b;        // Line: second end
    QRectF box;       // Circle: the circle's square
    double from = 0;  // Circle: start angle and span, in degrees
    double span = 0;
    QColor color;
    int width = 1;
    QString text;
    QFont font;
    QRect reach;  // whole pixels the call may have covered
    std::uint64_t serial = 0;
    QRegion uncovered;  // screen-only: the part no erase has reached since
};

// Whether two calls draw the same pixels; the serial and what erases took do not count.
bool sameDrawing(const Mark& before, const Mark& now);

struct Layer {
    QImage image;
    std::vector<Mark> marks;
    bool replayable = true;  // false once too many marks were kept to redraw them all
};

// The device pixels a rectangle of logical ones touches at a pixel ratio.
QRect deviceArea(const QRect& logical, double ratio);
// Makes device pixels of an image transparent, written directly (see the definition).
void clearPixels(QImage& image, const QRect& area);

class CanvasLayers {
public:
    CanvasLayers();
    ~CanvasLayers();
    CanvasLayers(const CanvasLayers&) = delete;
    CanvasLayers& operator=(const CanvasLayers&) = delete;

    Layer& persistent() { return persistent_; }
    const Layer& persistent() const { return persistent_; }
    Layer& screen() { return screen_; }
    const Layer& screen() const { return screen_; }
    // The pixel ratio the images are drawn at; 0 before the first.
    double ratio() const { return imageRatio_; }
    bool drawnAt(double ratio) const { return !persistent_.image.isNull() && imageRatio_ == ratio; }

    // Makes both images anew, of size device pixels at ratio, and draws what each kept on
    // them again; the screen-only marks are drawn less what later erases took.
    void remake(QSize size, double ratio, const QColor& backColor, const ScreenErases& erases);

    // The serial of the next call; an erase recorded now takes it too, and so erases what
    // the calls before it drew and none after.
    std::uint64_t nextSerial() const { return nextSerial_; }
    std::uint64_t takeSerial() { return nextSerial_++; }
    // Keeps a call on its layer: drawn at once on the persistent layer, held until shown on
    // the screen-only one. Beyond a limit a layer stops keeping calls till the next clear.
    void keep(Mark mark, bool persistent);

    // The painter on a layer, kept open between calls: opening one costs more than a line.
    QPainter& painterOn(Layer& layer);
    // Closes the painter; before an image is written to directly, replaced or shown.
    void endPainting();
    void paintMark(QPainter& painter, const Mark& mark) const;
    // Paints the screen-only drawing that waits to be shown.
    void paintWaitingMarks();
    // After an erase dropped screen-only marks: what remains is all painted.
    void screenMarksPainted() { screenPainted_ = screen_.marks.size(); }

    // A clear: the persistent image is filled with the back colour, unless it is already;
    // the screen-only layer keeps its image (its caller clears the pixels) and no marks.
    void clearPersistent(const QColor& backColor);
    void forgetScreenMarks();
    void setPersistentIsBlank(bool blank) { persistentIsBlank_ = blank; }

private:
    void redraw(Layer& layer, const QImage& before, const ScreenErases* erases);
    void checkInvariants() const;

    // Both images are null before the first paint, then of one size in device pixels at
    // imageRatio_. The painter works in the canvas's pixels at zoom 1, scaled by that ratio.
    // The persistent image is opaque; persistentIsBlank_ says it holds only the back
    // colour, so that a clear may skip filling it.
    //
    // Each layer's marks are in the order drawn, their serials rising and below
    // nextSerial_; a layer that stopped keeping them (!replayable) keeps none until the
    // next clear. On the screen-only layer the marks [0, screenPainted_) are on the image
    // (less what erases since took: ScreenErases keeps that), and those from screenPainted_
    // on wait for the next paint: a lesson that clears and draws again at every step would
    // otherwise paint states the screen never shows. Only keep, paintWaitingMarks, a clear
    // and an erase (through screenMarksPainted) move it.
    //
    // painter_ is open on painterTarget_'s image, or both are empty. Replacing an image or
    // showing it must end the painter first, and so must writing to it directly while it is
    // shared: the painter would go on drawing into the copy the write leaves behind.
    Layer persistent_;
    Layer screen_;
    bool persistentIsBlank_ = true;
    std::size_t screenPainted_ = 0;
    std::uint64_t nextSerial_ = 0;
    double imageRatio_ = 0;
    std::unique_ptr<QPainter> painter_;
    Layer* painterTarget_ = nullptr;
};

}  // namespace forms
