#pragma once
// Assistive tools see widgets that draw their parts themselves (the page tabs, the map grid's items)
// through interfaces of their own: one for the widget, made by a factory installed once, and one for
// each part, made when first asked for and kept registered while the widget's interface lives.

#include <QAccessible>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace torvane {

// The factory of `Interface` for widgets of class `Widget` (and of no other class).
template <typename Widget, typename Interface>
QAccessibleInterface* MakeAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(Widget::staticMetaObject.className())) {
        if (auto* widget = qobject_cast<Widget*>(object)) return new Interface(widget);
    }
    return nullptr;
}

template <typename Widget, typename Interface>
void InstallAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(MakeAccessible<Widget, Interface>);
        return true;
    }();
    Q_UNUSED(installed);
}

// A part without parts of its own, drawn by `owner`.
template <typename Owner>
class AccessibleLeaf : public QAccessibleInterface {
  public:
    explicit AccessibleLeaf(Owner* owner) : owner_(owner) {}

    bool isValid() const override { return !owner_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner_.isNull() ? nullptr : owner_->window()->windowHandle(); }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(owner_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

  protected:
    QPointer<Owner> owner_;
};

// The parts' interfaces by number.
class AccessibleParts {
  public:
    AccessibleParts() = default;
    AccessibleParts(const AccessibleParts&) = delete;
    AccessibleParts& operator=(const AccessibleParts&) = delete;
    ~AccessibleParts() {
        for (QAccessible::Id id : std::as_const(ids_)) QAccessible::deleteAccessibleInterface(id);
    }

    // The interface of part `key`, made by `make()` the first time.
    template <typename Make>
    QAccessibleInterface* part(int key, Make make) const {
        if (const QAccessible::Id id = ids_.value(key)) return QAccessible::accessibleInterface(id);
        QAccessibleInterface* made = make();
        ids_.insert(key, QAccessible::registerAccessibleInterface(made));
        return made;
    }
    // The number of a part's interface, -1 for one that is not among them.
    int keyOf(const QAccessibleInterface* part) const {
        for (auto it = ids_.cbegin(); it != ids_.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == part) return it.key();
        return -1;
    }

  private:
    mutable QHash<int, QAccessible::Id> ids_;
};

}  // namespace torvane
