// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <map>

#include "control.h"
#include "image.h"
#include "imagekeytarget.h"
#include "label.h"

namespace forms {

QAccessibleInterface* windowlessInterface(QWidget* host, const Windowless* control);

namespace {

class WindowlessAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    WindowlessAccessible(QWidget* host, Windowless* control) : host_(host), control_(control) {}

    bool isValid() const override { return !host_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return host_ ? host_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(host_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name || !isValid()) return {};
        return QString::fromStdString(spokenText(*control_));
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        if (!(match & QAccessible::Label) || !isValid() || !control_->labelledBy) return {};
        QAccessibleInterface* caption = sibling(control_->labelledBy);
        if (!caption) return {};
        return {{caption, QAccessible::Label}};
    }

    const Windowless* control() const { return control_; }

    QAccessible::Role role() const override {
        if (dynamic_cast<Label*>(control_)) return QAccessible::StaticText;
        if (isClickable()) return QAccessible::Button;
        return QAccessible::Graphic;
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !isValid() || !control_->isVisible();
        // A control beyond the window's edge is not shown to the pupil either.
        state.offscreen = isValid() && !host_->window()->rect().contains(
                                           host_->mapTo(host_->window(), localRect().center()));
        return state;
    }

    QRect rect() const override {
        if (!isValid()) return {};
        const QRect local = localRect();
        return QRect(host_->mapToGlobal(local.topLeft()), local.size());
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface && isClickable()
                   ? static_cast<QAccessibleActionInterface*>(this)
                   : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) static_cast<Image*>(control_)->click();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    bool isClickable() const {
        auto* image = dynamic_cast<Image*>(control_);
        return image && image->onClick;
    }

    QRect localRect() const {
        const auto* host = dynamic_cast<const WindowlessHost*>(host_.data());
        const double zoom = host ? host->surfaceZoom() : 1;
        const QRectF bounds = control_->pixelBounds();
        return QRectF(bounds.topLeft() * zoom, bounds.size() * zoom)
            .toAlignedRect()
            .translated(host ? host->surfaceOrigin() : QPoint());
    }

    QAccessibleInterface* sibling(const Windowless* control) const {
        return windowlessInterface(host_.data(), control);
    }

    QPointer<QWidget> host_;
    Windowless* control_;
};

}  // namespace

// The interface the host shows for one of its windowless controls, if it shows one.
QAccessibleInterface* windowlessInterface(QWidget* host, const Windowless* control) {
    QAccessibleInterface* parent = host ? QAccessible::queryAccessibleInterface(host) : nullptr;
    if (!parent) return nullptr;
    for (int i = parent->childCount() - 1; i >= 0; --i) {
        QAccessibleInterface* child = parent->child(i);
        auto* windowless = dynamic_cast<WindowlessAccessible*>(child);
        if (!windowless) break;
        if (windowless->control() == control) return child;
    }
    return nullptr;
}

namespace {

// A clickable image that the keyboard reaches: the widget over it stands for it.
class KeyTargetAccessible : public QAccessibleWidget {
public:
    explicit KeyTargetAccessible(ImageKeyTarget* target)
        : QAccessibleWidget(target, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction())
            static_cast<ImageKeyTarget*>(widget())->image().click();
        else
            QAccessibleWidget::doAction(name);
    }
};

// A window or canvas: its widget children as usual, then its windowless controls, less
// those a widget already stands for.
class HostAccessible : public QAccessibleWidget {
public:
    explicit HostAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Client) {}

    QString text(QAccessible::Text kind) const override {
        QString text = QAccessibleWidget::text(kind);
        const auto* host = dynamic_cast<const WindowlessHost*>(widget());
        if (kind != QAccessible::Description || !host) return text;
        const std::string state = host->accessibleState();
        if (state.empty()) return text;
        return QString::fromStdString(state) + (text.isEmpty() ? QString() : "。" + text);
    }

    ~HostAccessible() override {
        for (const auto& [control, id] : ids_) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override {
        return QAccessibleWidget::childCount() + int(controls().size());
    }

    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets) return QAccessibleWidget::child(index);
        const size_t at = size_t(index - widgets);
        const std::vector<Windowless*> shown = controls();
        return at < shown.size() ? interfaceFor(shown[at]) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const int widgets = QAccessibleWidget::childCount();
        const std::vector<Windowless*> shown = controls();
        for (size_t at = 0; at < shown.size(); ++at) {
            if (interfaceFor(shown[at]) == child) return widgets + int(at);
        }
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    std::vector<Windowless*> controls() const {
        std::vector<Windowless*> shown;
        const auto targets = widget()->findChildren<ImageKeyTarget*>(Qt::FindDirectChildrenOnly);
        for (Windowless* control : dynamic_cast<WindowlessHost*>(widget())->windowlessControls()) {
            if (control->accessibleHidden) continue;
            const bool standsIn = std::ranges::any_of(
                targets,
                [control](const ImageKeyTarget* target) { return &target->image() == control; });
            if (!standsIn) shown.push_back(control);
        }
        return shown;
    }

    QAccessibleInterface* interfaceFor(Windowless* control) const {
        auto found = ids_.find(control);
        if (found == ids_.end()) {
            auto* iface = new WindowlessAccessible(widget(), control);
            found = ids_.emplace(control, QAccessible::registerAccessibleInterface(iface)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }

    mutable std::map<Windowless*, QAccessible::Id> ids_;
};

QAccessibleInterface* hostFactory(const QString&, QObject* object) {
    if (auto* target = qobject_cast<ImageKeyTarget*>(object))
        return new KeyTargetAccessible(target);
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && dynamic_cast<WindowlessHost*>(widget)) return new HostAccessible(widget);
    return nullptr;
}

}  // namespace

std::string spokenText(const Windowless& control) {
    if (control.accessibleText) return control.accessibleText();
    if (auto* label = dynamic_cast<const Label*>(&control)) return label->caption();
    if (auto* image = dynamic_cast<const Image*>(&control)) return image->accessibleName();
    return {};
}

ChangeAnnouncer::ChangeAnnouncer(QWidget& window, TimerDriver& timers)
    : window_(window), gate_({.name = "", .interval = 250, .enabled = false}, timers) {
    gate_.onTimer = [this] {
        if (pending_)
            announce();
        else
            gate_.setEnabled(false);
    };
    // What the window shows when it is built is what a screen reader finds at first.
    compare(Send::Nothing);
}

void ChangeAnnouncer::inputDone() {
    if (!QAccessible::isActive()) return;
    // The end of a step does not go out at once while the gate is open: under X the
    // toolkit takes a held key's repeats for fresh presses and releases whenever the
    // server is slow to send them, and each would be told.
    if (!gate_.isEnabled()) {
        announce();
        gate_.setEnabled(true);
    } else {
        pending_ = true;
    }
}

void ChangeAnnouncer::announce() {
    pending_ = false;
    compare(Send::Changes);
}

bool ChangeAnnouncer::changed(const void* teller, std::string text) {
    auto [told, first] = told_.try_emplace(teller, text);
    if (first || told->second == text) return false;
    told->second = std::move(text);
    return true;
}

void ChangeAnnouncer::compare(Send send) {
    std::vector<QWidget*> hosts{&window_};
    for (QWidget* child : window_.findChildren<QWidget*>()) {
        if (dynamic_cast<WindowlessHost*>(child)) hosts.push_back(child);
    }
    for (QWidget* host : hosts) {
        const auto* windowless = dynamic_cast<WindowlessHost*>(host);
        if (changed(host, windowless->accessibleState()) && send == Send::Changes &&
            host->isVisible()) {
            QAccessibleEvent event(host, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
        }
        for (const Windowless* control : windowless->windowlessControls()) {
            if (!changed(control, spokenText(*control))) continue;
            if (send == Send::Nothing || !control->isVisible()) continue;
            if (QAccessibleInterface* node = windowlessInterface(host, control)) {
                QAccessibleEvent event(node, QAccessible::NameChanged);
                QAccessible::updateAccessibility(&event);
            }
        }
    }
}

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(hostFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace forms
