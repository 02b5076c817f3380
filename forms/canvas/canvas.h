// SPDX-License-Identifier: GPL-3.0-or-later
// A canvas (the classic picture box): a windowed control with a user scale, drawing
// methods and windowless child controls. Drawing goes to a persistent image when
// AutoRedraw is on and to a screen-only layer when it is off; the screen-only layer is
// kept too, so that a covered and uncovered window shows the canvas exactly as before,
// and is erased only where a child control changes or by Cls. Both layers keep the calls
// that made them, so that at a new zoom or pixel ratio they are drawn afresh, never scaled.
#pragma once

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "color.h"
#include "control.h"
#include "watching.h"
#include "fonts.h"

class QPainter;
class QWidget;

namespace forms {

class CanvasView;

enum class Border { None, Sunken };

enum MouseButton : int { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

struct MouseEvent {
    int button;  // flags: for a press the button pressed, for a move those held
    int shift;   // flags: 1 Shift, 2 Ctrl, 4 Alt
    float x;     // in the canvas's user units
    float y;
};

// The classic key codes of the keys a canvas passes on to its lesson.
enum KeyCode : int {
    KeyReturn = 13,
    KeySpace = 32,
    KeyLeft = 37,
    KeyUp = 38,
    KeyRight = 39,
    KeyDown = 40
};

struct KeyEvent {
    int keyCode;
    int shift;    // flags: 1 Shift, 2 Ctrl, 4 Alt
    bool repeat;  // sent again by a key held down
};

// One row of the help box: a key or keys, and what they do.
struct KeyHelp {
    std::string keys;
    std::string effect;
};

// A mark over the figure showing where the keys act: a ring round the point they move or
// a small cross at the keyboard's pointer, in user units. It is no drawing of the lesson.
enum class KeyMarkShape { Ring, Cross };
struct KeyMark {
    KeyMarkShape shape;
    float x;
    float y;
};

struct CanvasDesign {
    std::string name;
    TwipsRect rect;
    Color backColor = SystemColor::ButtonFace;
    Color foreColor = SystemColor::WindowText;
    FontSpec font{"宋体", 9};
    Border border = Border::Sunken;
    bool autoRedraw = false;
};

class Canvas : public Control, public Surface {
public:
    Canvas(const CanvasDesign& design, QWidget& window);
    ~Canvas() override;

    ControlKind kind() const override { return ControlKind::Canvas; }
    QWidget& widget();

    // Placement on the window, in twips.
    float left() const { return left_; }
    void setLeft(float left);

    // Shows the canvas and everything on it enlarged by zoom; the lesson sees no change.
    void setZoom(double zoom);
    double zoom() const { return zoom_; }

    // Scale (x1, y1)-(x2, y2). Child controls keep their place on the screen. A scale of
    // zero width or height, or with a corner or a size beyond the single-precision range,
    // is refused and the old one kept: the caller must tell whoever asked for it.
    [[nodiscard]] bool setScale(double x1, double y1, double x2, double y2);
    const UserScale& scale() const override { return scale_; }

    bool autoRedraw() const { return autoRedraw_; }
    void setAutoRedraw(bool on) { autoRedraw_ = on; }
    int drawWidth() const { return drawWidth_; }
    void setDrawWidth(int width);
    double fontSize() const { return font_.points; }
    void setFontSize(double points) { font_.points = points; }
    bool fontItalic() const { return font_.italic; }
    void setFontItalic(bool italic) { font_.italic = italic; }
    float currentX() const { return currentX_; }
    float currentY() const { return currentY_; }
    void setCurrentX(double x);
    void setCurrentY(double y);

    void cls();
    void line(double x1, double y1, double x2, double y2, std::optional<Color> color = {});
    void pset(double x, double y, std::optional<Color> color = {});
    // An arc (or a circle), angles in radians counter-clockwise from the positive x axis.
    void circle(double x, double y, double radius, std::optional<Color> color, double start,
                double end);
    // Text at the current point; then the current point goes to the start of the next line.
    void print(std::string_view text);

    void addChild(Windowless& child);
    const std::vector<Windowless*>& children() const;
    void repaintArea(const QRectF& pixelRect, Erase erase, std::vector<QRectF> pieces) override;

    std::function<void(const MouseEvent&)> onMouseDown;
    std::function<void(const MouseEvent&)> onMouseMove;
    // The one translation point for the mouse: the view calls these with positions in
    // user units, and so does the replay harness.
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int buttons, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);
    int heldButtons() const { return heldButtons_; }

    // Keys while the canvas has the keyboard focus. The handler says whether the key did
    // anything; a key it leaves goes on to the window.
    std::function<bool(const KeyEvent&)> onKeyDown;
    std::function<void(const KeyEvent&)> onKeyUp;
    bool keyDown(int keyCode, int shift, bool repeat);
    void keyUp(int keyCode, int shift, bool repeat);
    // After each input, once the lesson has handled it: ending is true for a release, for
    // a key step and for a key let go. The mouse events a key step makes count as its
    // own and report nothing by themselves.
    std::function<void(bool ending)> afterInput;
    // What a screen reader calls the canvas, and what it adds about the keys.
    void setAccessibleName(const std::string& name);
    void setAccessibleDescription(const std::string& description);
    // What the canvas shows that a screen reader should hear ahead of the description, as
    // the figure changes (e.g. where the keyboard's pointer is); asked whenever it is read.
    std::function<std::string()> accessibleState;
    // Where the key mark goes, asked anew whenever something on the canvas changes.
    std::function<std::optional<KeyMark>()> keyMark;
    // What onKeyDown does with which keys, for the window's help box.
    std::vector<KeyHelp> keyHelp;

    // Tells the watcher of every drawing call, for inspection from outside.
    void watchDrawing(DrawingWatcher watcher) { watcher_ = std::move(watcher); }
    // Paints the canvas's inner area (in the view's pixels, from the inner corner); used
    // by the view.
    void paintInner(QPainter& painter, const QRect& area);
    // Ends the comparison of a kept picture with the calls since a clear: before the
    // window repaints, so that a picture that differs is repainted in the same paint.
    void settleRedraw();
    // The thickness of each of the sunken edge's two rings in the view's pixels (0: none).
    int edgeWidth() const;

private:
    // One drawing call as it reached the layer, in the canvas's logical pixels at zoom 1.
    struct Mark {
        DrawingOp op;
        QPointF a;  // Line: first end; PSet: centre; Print: top left
        QPointF b;  // Line: second end
        QRectF box;  // Circle: the circle's square
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
    struct Layer {
        QImage image;
        std::vector<Mark> marks;
        bool replayable = true;  // false once too many marks were kept to redraw them all
    };
    struct ScreenErase {
        std::uint64_t serial;  // erases what marks of a lower serial drew
        QRect area;
    };

    void place();
    double ratio() const;
    QPainter& painterOn(Layer& layer);
    void endPainting();
    void ensureImages();
    void paintMark(QPainter& painter, const Mark& mark) const;
    static bool sameDrawing(const Mark& before, const Mark& now);
    void divergeRedraw();
    void keep(Mark mark);
    void eraseScreen(const QRect& area);
    void settleErases();
    // Paints the screen-only drawing that waits to be shown.
    void paintWaitingMarks();
    void redraw(Layer& layer, const QImage& before, bool screen);
    void drawn(const QRectF& pixelRect, DrawingCall call);
    QRect zoomedArea(const QRectF& pixelRect) const;
    void repaintGathered(const QRegion& region);

    QPointer<CanvasView> view_;
    TwipsRect design_;
    double zoom_ = 1;
    int border_;
    UserScale scale_;
    float left_;
    Color backColor_;
    Color foreColor_;
    FontSpec font_;
    bool autoRedraw_;
    int drawWidth_ = 1;
    float currentX_ = 0;
    float currentY_ = 0;
    int heldButtons_ = 0;
    int keyDepth_ = 0;
    Layer persistent_;
    bool persistentIsBlank_ = true;
    TextAdvances advances_;
    // The marks of the picture kept through a clear, and how many calls since have drawn
    // them again in order.
    struct Redrawing {
        std::vector<Mark> before;
        std::size_t matched = 0;
    };
    std::optional<Redrawing> redrawing_;
    bool keptUnchanged_ = false;  // the last kept call drew what was there already
    Layer screen_;
    QRegion screenDrawing_;  // where the screen-only layer holds anything, at zoom 1
    std::vector<ScreenErase> screenErases_;
    std::size_t screenPainted_ = 0;  // the screen-only marks already painted, from the first
    // Erases asked for since the layer was last drawn on or shown: a clear before then
    // makes them needless, as when a lesson moves its labels and then clears its arcs.
    std::vector<QRect> pendingErases_;
    std::uint64_t nextSerial_ = 0;
    double imageRatio_ = 0;
    std::unique_ptr<QPainter> painter_;
    Layer* painterTarget_ = nullptr;
    DrawingWatcher watcher_;
    WindowlessLayer children_;
};

}  // namespace forms
