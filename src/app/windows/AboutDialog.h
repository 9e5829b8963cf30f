#pragma once

#include <QDialog>

struct AboutPanelOptions;
class QLabel;

// The About dialog: the application's icon, name and version, then the credits. One is made
// and reused; setOptions replaces what it shows.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int iconSize = 64;

    explicit AboutDialog(QWidget* parent = nullptr);

    void setOptions(const AboutPanelOptions& options);
    // Shows the dialog, also when it was minimised or behind other windows, and gives it focus.
    void present();

private:
    QLabel* icon_;
    QLabel* name_;
    QLabel* version_;
    QLabel* credits_;
};
