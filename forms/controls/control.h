// SPDX-License-Identifier: GPL-3.0-or-later
// The base of every control, and of the windowless kinds (label, line shape, shape,
// image) that have no window of their own and are painted by their container.
#pragma once

#include <QPoint>
#include <QRectF>
#include <functional>
#include <string>
#include <vector>

#include "userscale.h"

class QPainter;

namespace forms {

enum class ControlKind { Canvas, Label, LineShape, Shape, Image, Button, TextBox, Timer };

class Control {
public:
    explicit Control(std::string name) : name_(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    virtual ControlKind kind() const = 0;

private:
    std::string name_;
};

// A rectangle in twips as a design-time layout gives it.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// What a container's repaint of a changed area does to screen-only drawing there.
enum class Erase { ScreenDrawing, Nothing };

// Something windowless controls live on: a window's client area or a canvas.
class Surface {
public:
    virtual ~Surface() = default;
    virtual const UserScale& scale() const = 0;
    // Repaints an area (in the surface's logical pixels) that a control changed. Pieces, when
    // there are any, cover all the control paints within the area: a surface may repaint
    // only them, and the rest of the area only where screen-only drawing is erased.
    virtual void repaintArea(const QRectF& pixelRect, Erase erase, std::vector<QRectF> pieces) = 0;
};

class Windowless : public Control {
public:
    using Control::Control;

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    // Everything the control paints, in its surface's logical pixels.
    virtual QRectF pixelBounds() const = 0;
    virtual void paint(QPainter& painter) const = 0;
    // Rectangles that cover all the control paints, where fewer pixels than its bounds;
    // none when its bounds are no larger than they need be.
    virtual std::vector<QRectF> paintedPieces() const { return {}; }
    // Whether painting the control reaches into an area.
    virtual bool paintsInto(const QRectF& area) const { return pixelBounds().intersects(area); }
    // Keeps the control's place on the screen when its surface takes a new scale.
    virtual void rescale(const UserScale& from, const UserScale& to) = 0;

    void attachTo(Surface& surface) { surface_ = &surface; }

    // What a screen reader is told. By default a label reads its caption and an image its
    // given name; a lesson may give a text that follows the figure, leave the control out
    // where another one reads for it, or name the caption that a readout belongs to.
    std::function<std::string()> accessibleText;
    bool accessibleHidden = false;
    const Windowless* labelledBy = nullptr;
    // The accessible text of a control whose name never changes.
    void setAccessibleName(std::string name) {
        accessibleText = [name = std::move(name)] { return name; };
    }

protected:
    const UserScale& scale() const { return surface_->scale(); }

    // Applies a change and repaints the control's old and new bounds. Moves, size,
    // visibility and text erase screen-only drawing there; colour alone does not.
    template <class Apply>
    void change(Apply&& apply, Erase erase = Erase::ScreenDrawing) {
        const Painted before = painted();
        apply();
        repaint(before, painted(), erase);
    }
    // Changes made in turn, each repainting and erasing as if made alone; but a state the
    // control passes through is repainted once, not as one change's new state and again
    // as the next one's old. A step returns whether it changed anything.
    template <class... Step>
    void changeInTurn(Step&&... steps) {
        Painted last = painted();
        bool changed = false;
        const auto take = [&](auto&& step) {
            if (!step()) return;
            if (!changed) repaint(last, {}, Erase::ScreenDrawing);
            changed = true;
            Painted now = painted();
            if (now != last) repaint({}, now, Erase::ScreenDrawing);
            last = std::move(now);
        };
        (take(steps), ...);
    }

private:
    struct Painted {
        QRectF bounds;
        std::vector<QRectF> pieces;
        bool operator==(const Painted&) const = default;
    };
    Painted painted() const {
        if (!visible_ || !surface_) return {};
        return {pixelBounds(), paintedPieces()};
    }
    void repaint(const Painted& before, const Painted& after, Erase erase);

    Surface* surface_ = nullptr;
    bool visible_ = true;
};

// A widget that paints windowless controls, so that they can be found for the screen
// reader and for hit tests.
class WindowlessHost {
public:
    virtual ~WindowlessHost() = default;
    virtual const std::vector<Windowless*>& windowlessControls() const = 0;
    // Where the surface's logical pixel (0, 0) lies in the widget, and how many of the
    // widget's pixels one of the surface's takes.
    virtual QPoint surfaceOrigin() const { return {}; }
    virtual double surfaceZoom() const { return 1; }
    // What a screen reader hears of the host's state ahead of its description, e.g. where
    // the keyboard's pointer is; announced when it changes, as the controls' texts are.
    virtual std::string accessibleState() const { return {}; }
};

// The windowless controls of one surface, in design order: an earlier one lies above a
// later one.
class WindowlessLayer {
public:
    void add(Windowless& control) { controls_.push_back(&control); }
    void paint(QPainter& painter, const QRectF& area) const;
    void rescale(const UserScale& from, const UserScale& to);
    const std::vector<Windowless*>& controls() const { return controls_; }

private:
    std::vector<Windowless*> controls_;
};

}  // namespace forms
