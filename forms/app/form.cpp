// SPDX-License-Identifier: GPL-3.0-or-later
#include "form.h"

#include <algorithm>
#include <cmath>

#include "accessibility.h"
#include "chinesetexts.h"
#include "formwindow.h"
#include "imagekeytarget.h"

namespace forms {

Form::Form(FormEnvironment& environment, const FormDesign& design)
    : environment_(environment),
      resizable_(design.resizable),
      backColor_(design.backColor),
      caption_(design.caption),
      window_(std::make_unique<FormWindow>(
          QSize(twipsToPixels(design.clientWidth), twipsToPixels(design.clientHeight)),
          design.backColor)) {
    installAccessibility();
    installChineseTexts();
    window_->setWindowTitle(QString::fromStdString(design.caption));
    window_->setAccessibleName(QString::fromStdString(design.caption));
    if (!design.icon.isNull()) window_->setWindowIcon(design.icon);
    if (design.twipsPosition)
        window_->move(twipsToPixels(design.twipsPosition->x()),
                      twipsToPixels(design.twipsPosition->y()));
    if (design.resizable)
        window_->setMinimumSize(window_->size());
    else
        window_->setFixedSize(window_->size());
}

Form::~Form() {
    window_->onResized = nullptr;
    for (Control* control : controls_) {
        if (auto* canvas = dynamic_cast<Canvas*>(control)) canvas->afterInput = nullptr;
    }
}

void Form::load() {
    const auto& onWindow = window_->windowlessControls();
    for (Control* control : controls_) {
        auto* image = dynamic_cast<Image*>(control);
        if (image && image->onClick && std::ranges::find(onWindow, image) != onWindow.end())
            imageKeyTargets_.push_back(new ImageKeyTarget(*image, *window_));
    }
    window_->onResized = [this] { arrangeFocus(); };
    arrangeFocus();
    announcer_ = std::make_unique<ChangeAnnouncer>(*window_, environment_.timers);
    for (Control* control : controls_) {
        if (auto* canvas = dynamic_cast<Canvas*>(control))
            canvas->afterInput = [this](bool) { announcer_->inputDone(); };
    }
    Form_Load();
}

void Form::arrangeFocus() {
    std::vector<QWidget*> canvases;
    std::vector<QWidget*> others;
    for (Control* control : controls_) {
        if (auto* canvas = dynamic_cast<Canvas*>(control)) {
            if (canvas->onMouseDown || canvas->onMouseMove || canvas->onKeyDown)
                canvases.push_back(&canvas->widget());
        } else if (auto* button = dynamic_cast<Button*>(control)) {
            others.push_back(&button->widget());
        } else if (auto* box = dynamic_cast<TextBox*>(control)) {
            others.push_back(&box->widget());
        }
    }
    for (ImageKeyTarget* target : imageKeyTargets_) {
        if (!target) continue;
        target->follow();
        others.push_back(target);
    }
    std::ranges::stable_sort(others, [](const QWidget* a, const QWidget* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });

    std::vector<QWidget*> order = canvases;
    order.insert(order.end(), others.begin(), others.end());
    const QRect client = window_->rect();
    for (QWidget* widget : order) {
        const bool inView = client.contains(widget->geometry());
        const bool isTarget = qobject_cast<ImageKeyTarget*>(widget) != nullptr;
        widget->setFocusPolicy(!inView ? Qt::NoFocus : isTarget ? Qt::TabFocus : Qt::StrongFocus);
    }
    for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    // Focus never stays on a control that has slipped out of view; nor is the window
    // ever left without it.
    QWidget* focused = window_->focusWidget();
    if (!focused || focused->focusPolicy() == Qt::NoFocus) {
        const auto first = std::ranges::find_if(order, [](const QWidget* widget) {
            return widget->focusPolicy() != Qt::NoFocus && !widget->isHidden();
        });
        if (first != order.end()) (*first)->setFocus(Qt::OtherFocusReason);
    }
}

const Control* Form::focusControl() const {
    const QWidget* focused = window_->focusWidget();
    if (!focused) return nullptr;
    for (Control* control : controls_) {
        if (auto* canvas = dynamic_cast<Canvas*>(control); canvas && &canvas->widget() == focused)
            return control;
        if (auto* button = dynamic_cast<Button*>(control); button && &button->widget() == focused)
            return control;
        if (auto* box = dynamic_cast<TextBox*>(control); box && &box->widget() == focused)
            return control;
    }
    if (auto* target = qobject_cast<const ImageKeyTarget*>(focused)) return &target->image();
    return nullptr;
}

QWidget& Form::window() {
    return *window_;
}

QSize Form::designSize() const {
    return window_->designSize();
}

void Form::setZoom(double zoom) {
    if (zoom_ == zoom) return;
    zoom_ = zoom;
    for (Control* control : controls_) {
        if (auto* canvas = dynamic_cast<Canvas*>(control)) canvas->setZoom(zoom);
        if (auto* button = dynamic_cast<Button*>(control)) button->setZoom(zoom);
        if (auto* box = dynamic_cast<TextBox*>(control)) box->setZoom(zoom);
    }
    window_->setZoom(zoom);
    const QSize size(int(std::lround(designSize().width() * zoom)),
                     int(std::lround(designSize().height() * zoom)));
    if (resizable_) {
        window_->setMinimumSize(size);
        window_->resize(size);
    } else {
        window_->setFixedSize(size);
    }
}

void Form::watchDrawing(DrawingWatcher watcher) {
    for (Control* control : controls_) {
        if (control->kind() == ControlKind::Canvas)
            static_cast<Canvas*>(control)->watchDrawing(watcher);
    }
}

Control* Form::control(std::string_view name) const {
    for (Control* control : controls_) {
        if (control->name() == name) return control;
    }
    return nullptr;
}

template <class T>
T* Form::keep(std::unique_ptr<T> control) {
    T* raw = control.get();
    controls_.push_back(raw);
    owned_.push_back(std::move(control));
    return raw;
}

void Form::stackWindowed(QWidget& widget) {
    // Added in design order, each goes under those before it.
    widget.lower();
}

Canvas* Form::addCanvas(const CanvasDesign& design) {
    Canvas* canvas = keep(std::make_unique<Canvas>(design, *window_));
    stackWindowed(canvas->widget());
    return canvas;
}

Button* Form::addButton(const ButtonDesign& design) {
    Button* button = keep(std::make_unique<Button>(design, *window_));
    stackWindowed(button->widget());
    if (button->isDefault()) defaultButton_ = button;
    return button;
}

TextBox* Form::addTextBox(const TextBoxDesign& design) {
    TextBox* box = keep(std::make_unique<TextBox>(design, *window_));
    stackWindowed(box->widget());
    box->onEnter = [this] {
        if (defaultButton_) defaultButton_->click();
    };
    return box;
}

Timer* Form::addTimer(const TimerDesign& design) {
    return keep(std::make_unique<Timer>(design, environment_.timers));
}

template <class T, class Design>
T* Form::addWindowless(const Design& design, Canvas* canvas) {
    Surface& surface = canvas ? static_cast<Surface&>(*canvas) : *window_;
    T* control = keep(std::make_unique<T>(design, surface));
    if (canvas)
        canvas->addChild(*control);
    else
        window_->addWindowless(*control);
    return control;
}

Label* Form::addLabel(const LabelDesign& design, Canvas* canvas) {
    return addWindowless<Label>(design, canvas);
}

LineShape* Form::addLine(const LineDesign& design, Canvas* canvas) {
    return addWindowless<LineShape>(design, canvas);
}

Shape* Form::addShape(const ShapeDesign& design, Canvas* canvas) {
    return addWindowless<Shape>(design, canvas);
}

Image* Form::addImage(const ImageDesign& design, Canvas* canvas) {
    return addWindowless<Image>(design, canvas);
}

void Form::msgBox(const std::string& text, const std::string& title, MessageIcon icon) {
    environment_.messages.present(*window_, {text, title, icon});
}

}  // namespace forms
