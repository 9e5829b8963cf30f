#pragma once

#include <QComboBox>

// A combo box that assistive technology knows by its accessible name, with the current item as
// its value. On Linux Qt names a combo box after its current item and leaves its label to a
// relation, so that AT-SPI readers announce "Automatic" where they should say "Tray icon".
class NamedComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit NamedComboBox(const QString& accessibleName, QWidget* parent = nullptr);
};
