#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <map>

#include "control.h"
#include "image.h"
#include "label.h"

namespace forms {

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
        if (auto* label = dynamic_cast<Label*>(control_))
            return QString::fromStdString(label->caption());
        if (auto* image = dynamic_cast<Image*>(control_))
            return QString::fromStdString(image->accessibleName());
        return {};
    }

    QAccessible::Role role() const override {
        if (dynamic_cast<Label*>(control_)) return QAccessible::StaticText;
        if (isClickable()) return QAccessible::Button;
        return QAccessible::Graphic;
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !isValid() || !control_->isVisible();
        return state;
    }

    QRect rect() const override {
        if (!isValid()) return {};
        const auto* host = dynamic_cast<const WindowlessHost*>(host_.data());
        const double zoom = host ? host->surfaceZoom() : 1;
        const QRectF bounds = control_->pixelBounds();
        const QRect local = QRectF(bounds.topLeft() * zoom, bounds.size() * zoom)
                                .toAlignedRect()
                                .translated(host ? host->surfaceOrigin() : QPoint());
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

    QPointer<QWidget> host_;
    Windowless* control_;
};

// A window or canvas: its widget children as usual, then its windowless controls.
class HostAccessible : public QAccessibleWidget {
public:
    explicit HostAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Client) {}

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
        return at < controls().size() ? interfaceFor(controls()[at]) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const int widgets = QAccessibleWidget::childCount();
        for (size_t at = 0; at < controls().size(); ++at) {
            if (interfaceFor(controls()[at]) == child) return widgets + int(at);
        }
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    const std::vector<Windowless*>& controls() const {
        return dynamic_cast<WindowlessHost*>(widget())->windowlessControls();
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
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && dynamic_cast<WindowlessHost*>(widget)) return new HostAccessible(widget);
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(hostFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace forms
