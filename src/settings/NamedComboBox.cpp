#include "NamedComboBox.h"

#include <QAccessibleWidget>

namespace {

class NamedComboBoxAccessible : public QAccessibleWidget {
public:
    explicit NamedComboBoxAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return static_cast<QComboBox*>(widget())->currentText();
        }
        return QAccessibleWidget::text(kind);  // the name is the widget's accessible name
    }
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
