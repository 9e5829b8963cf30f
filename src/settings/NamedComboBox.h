#pragma once

#include <QComboBox>

// A combo box that assistive technology knows by its accessible name, with the current item as
// its value and its list of items as its child. On Linux Qt names a combo box after its current
// item, even one given an accessible name, and leaves its label to a relation, so that AT-SPI
// readers announce "Automatic" where they should say "Tray icon".
class NamedComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit NamedComboBox(const QString& accessibleName, QWidget* parent = nullptr);
};
