#pragma once

#include <QLabel>

// A label whose digits all take the width of the widest digit, so that a changing number does
// not shift its neighbours. Used for short values such as "50%" or "4000K".
class ValueLabel : public QLabel {
    Q_OBJECT
public:
    explicit ValueLabel(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double textWidth() const;
};
