#include "NamedComboBox.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

namespace {

// What Qt's own combo box interface gives (the role, the popup list as the one child, the
// current item as the value, the action that opens the list), named by the accessible name.
// Qt's own class is private to Qt, and on Linux it names a combo box after its current item.
class NamedComboBoxAccessible : public QAccessibleWidget {
public:
    explicit NamedComboBoxAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return combo()->currentText();
        }
        return QAccessibleWidget::text(kind);  // the name is the widget's accessible name
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == combo()->view() ? 0 : -1;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    QString localizedActionDescription(const QString& action) const override {
        return actionNames().contains(action) ? QComboBox::tr("Open the combo box selection popup")
                                              : QString();
    }
    void doAction(const QString& action) override {
        if (!actionNames().contains(action)) {
            return;
        }
        if (combo()->view()->isVisible()) {
            combo()->hidePopup();
        } else {
            combo()->showPopup();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* namedComboBoxAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(NamedComboBox::staticMetaObject.className())) {
        return new NamedComboBoxAccessible(static_cast<NamedComboBox*>(object));
    }
    return nullptr;
}

}  // namespace

NamedComboBox::NamedComboBox(const QString& accessibleName, QWidget* parent) : QComboBox(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(namedComboBoxAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    setAccessibleName(accessibleName);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        QAccessibleValueChangeEvent event(this, currentText());
        QAccessible::updateAccessibility(&event);
    });
}
