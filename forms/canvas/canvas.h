// SPDX-License-Identifier: GPL-3.0-or-later
// A canvas (the classic picture box): a windowed control with a user scale, drawing
// methods and windowless child controls. Drawing goes to a persistent image when
// AutoRedraw is on and to a screen-only layer when it is off; the screen-only layer is
// kept too, so that a covered and uncovered window shows the canvas exactly as before,
// and is erased only where a child control changes or by Cls. Both layers keep the calls
// that made them, so that at a new zoom or pixel ratio they are drawn afresh, never scaled.
// The canvas itself turns the drawing calls into marks in its pixels and tells the view
// what to repaint; its parts keep the layers (canvaslayers), the comparison of a picture
// kept through a clear (redrawmatch), the erases of screen-only drawing (screenerases),
// the input and the key mark (canvasinput) and what a screen reader hears (canvasaccess).
#pragma once

#include <QPointer>
#include <QRegion>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "canvasaccess.h"
#include "canvasinput.h"
#include "canvaslayers.h"
#include "color.h"
#include "control.h"
#include "fonts.h"
#include "redrawmatch.h"
#include "screenerases.h"
#include "watching.h"

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

    // The one translation point for the mouse: the view calls these with positions in
    // user units, and so does the replay harness.
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int buttons, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);
    int heldButtons() const { return input_.heldButtons(); }

    // Keys while the canvas has the keyboard focus. The handler says whether the key did
    // anything; a key it leaves goes on to the window.
    bool keyDown(int keyCode, int shift, bool repeat);
    void keyUp(int keyCode, int shift, bool repeat);
    // What a screen reader calls the canvas, and what it adds about the keys.
    void setAccessibleName(const std::string& name);
    void setAccessibleDescription(const std::string& description);
    // What onKeyDown does with which keys, for the window's help box.
    std::vector<KeyHelp> keyHelp;

    // The lesson's handlers, and what the canvas asks of it.
    Handler<void(const MouseEvent&)> onMouseDown{this};
    Handler<void(const MouseEvent&)> onMouseMove{this};
    Handler<bool(const KeyEvent&)> onKeyDown{this};
    Handler<void(const KeyEvent&)> onKeyUp{this};
    // After each input, once the lesson has handled it: ending is true for a release, for
    // a key step and for a key let go. The mouse events a key step makes count as its
    // own and report nothing by themselves.
    Handler<void(bool ending)> afterInput{this};
    // What the canvas shows that a screen reader should hear ahead of the description, as
    // the figure changes (e.g. where the keyboard's pointer is); asked whenever it is read.
    Handler<std::string()> accessibleState{this};
    // Where the key mark goes, asked anew whenever something on the canvas changes.
    Handler<std::optional<KeyMark>()> keyMark{this};

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
    // The parts the view asks: where the key mark is, what a screen reader hears.
    const CanvasInput& input() const { return input_; }
    const CanvasAccess& access() const { return access_; }

private:
    friend class CanvasInput;

    void place();
    double ratio() const;
    QRect inner() const;
    void ensureImages();
    void keep(Mark mark);
    void drawn(const QRectF& pixelRect, DrawingCall call);
    QRect zoomedArea(const QRectF& pixelRect) const;
    void repaintGathered(const QRegion& region);
    // Repaints what a comparison after a clear changed, part by part.
    void repaintRedrawn(const QRegion& region);

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
    TextAdvances advances_;
    DrawingWatcher watcher_;
    WindowlessLayer children_;
    // The parts, each keeping its own invariants. The erases and the comparison after a
    // clear work on the layers, which are made first and go last.
    CanvasLayers layers_;
    ScreenErases erases_{layers_};
    RedrawMatch redraw_{layers_};
    CanvasInput input_{*this};
    CanvasAccess access_{*this};
};

}  // namespace forms
