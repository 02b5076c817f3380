// SPDX-License-Identifier: GPL-3.0-or-later
// A form: one window built from a design-time layout in twips. A lesson derives from it,
// adds its controls in design order (an earlier control lies above a later one of the
// same sort; canvases, buttons and text boxes lie above the windowless kinds) and writes
// its behaviour as the classic event handlers.
#pragma once

#include <QIcon>
#include <QPointer>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "button.h"
#include "canvas.h"
#include "image.h"
#include "label.h"
#include "lineshape.h"
#include "messagebox.h"
#include "shape.h"
#include "textbox.h"
#include "timer.h"
#include "watching.h"

namespace forms {

class ChangeAnnouncer;
class FormWindow;
class ImageKeyTarget;

// What a form takes from the program that runs it.
struct FormEnvironment {
    TimerDriver& timers;
    MessagePresenter& messages;
};

struct FormDesign {
    std::string caption;
    double clientWidth = 0;  // twips
    double clientHeight = 0;
    // Where the window's outer top-left corner opens on the screen, in twips; without it
    // the platform chooses, and a window manager may place it elsewhere either way.
    std::optional<QPointF> twipsPosition;
    Color backColor = SystemColor::ButtonFace;
    bool resizable = false;
    QIcon icon;
};

class Form : public Inspectable {
public:
    Form(FormEnvironment& environment, const FormDesign& design);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    QWidget& window();
    // Enlarges the whole client area, every control, font and drawing by zoom (1 is the
    // design). The lesson's handlers never learn of it: units, positions and sizes that
    // they read stay as designed.
    void setZoom(double zoom);
    double zoom() const { return zoom_; }
    // The client area's size at zoom 1, in logical pixels.
    QSize designSize() const;
    bool isResizable() const { return resizable_; }
    Color backColor() const { return backColor_; }
    const std::string& caption() const { return caption_; }
    // Runs Form_Load; call once, after the lesson's constructor has built the layout. The
    // first canvas that takes mouse or key events gets the keyboard focus.
    void load();

    // The control that has the keyboard focus within the window, if any.
    const Control* focusControl() const;

    const std::vector<Control*>& controls() const { return controls_; }
    Control* control(std::string_view name) const;
    void watchDrawing(DrawingWatcher watcher) override;

protected:
    virtual void Form_Load() {}

    Canvas* addCanvas(const CanvasDesign& design);
    Button* addButton(const ButtonDesign& design);
    TextBox* addTextBox(const TextBoxDesign& design);
    Timer* addTimer(const TimerDesign& design);
    // Windowless controls go on the window, or inside a canvas when one is named.
    Label* addLabel(const LabelDesign& design, Canvas* canvas = nullptr);
    LineShape* addLine(const LineDesign& design, Canvas* canvas = nullptr);
    Shape* addShape(const ShapeDesign& design, Canvas* canvas = nullptr);
    Image* addImage(const ImageDesign& design, Canvas* canvas = nullptr);

    void msgBox(const std::string& text, const std::string& title,
                MessageIcon icon = MessageIcon::None);

private:
    template <class T>
    T* keep(std::unique_ptr<T> control);
    void stackWindowed(QWidget& widget);
    // Tab order follows the layout: interactive canvases first, then the buttons, text
    // boxes and clickable images from top to bottom and left to right. What lies outside
    // the window's client area, as it is sized now, takes no focus.
    void arrangeFocus();
    template <class T, class Design>
    T* addWindowless(const Design& design, Canvas* canvas);

    FormEnvironment& environment_;
    bool resizable_;
    Color backColor_;
    std::string caption_;
    double zoom_ = 1;
    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<Control*> controls_;
    Button* defaultButton_ = nullptr;  // pressed by Enter in a text box
    std::unique_ptr<FormWindow> window_;
    std::vector<QPointer<ImageKeyTarget>> imageKeyTargets_;
    std::unique_ptr<ChangeAnnouncer> announcer_;
    // What every control's handlers and the window's signals are tied to. Declared last so
    // that it goes first: the window, closing after it, still reaches the controls, but
    // no handler of the lesson (whose members are gone) or of the form is called then. A
    // lesson's own members must not make a control fire as they are destroyed: they go
    // before this.
    QObject handlerOwner_;
};

}  // namespace forms
