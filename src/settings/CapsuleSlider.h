#pragma once

#include "SliderMapping.h"

#include <QBrush>
#include <QWidget>

class ThumbOverflowEffect;

// A horizontal slider drawn as a gradient capsule with a round white thumb. The value belongs
// to the owner: a press or drag reports the value it produces through valueChangedByUser, and
// the thumb moves when the owner writes it back with setValue. An edit is a press, the drags
// that follow and the release, or one key press; editingChanged(true) and editingChanged(false)
// bracket each edit exactly once.
class CapsuleSlider : public QWidget {
    Q_OBJECT
public:
    CapsuleSlider(slider::Range range, double step, QBrush trackFill, double trackHeight,
                  double thumbSize, QWidget* parent = nullptr);
    ~CapsuleSlider() override;

    double value() const { return value_; }
    void setValue(double value);

    slider::Range range() const { return range_; }
    void setRange(slider::Range range);
    double step() const { return step_; }

    // Opacity of the whole drawing, applied to it as one layer.
    double opacity() const { return opacity_; }
    void setOpacity(double opacity);

    // What assistive technology reads as the value, e.g. "50%". The number when empty.
    QString valueText() const { return valueText_; }
    void setValueText(const QString& text);

    // Geometry of the current width.
    double usableWidth() const;
    QRectF trackRect() const;
    QRectF thumbRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // One complete edit to `value`, snapped and bounded like a drag; used by assistive technology.
    void editTo(double value);

signals:
    // The value an edit produced; sent on every press, move and key press, even when unchanged.
    void valueChangedByUser(double value);
    void editingChanged(bool editing);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class ThumbOverflowEffect;

    void beginEdit();
    void endEdit();
    void dragTo(double x);
    void completeEdit(double value);
    void paintContent(QPainter& painter) const;
    void paintThumbShadow(QPainter& painter) const;
    void paintFocusRing(QPainter& painter) const;
    bool showsFocusRing() const;

    double value_ = 0.0;
    slider::Range range_;
    double step_;
    QBrush trackFill_;
    double trackHeight_;
    double thumbSize_;
    double opacity_ = 1.0;
    QString valueText_;
    bool isDragging_ = false;
    bool keyboardFocus_ = false;
    ThumbOverflowEffect* overflow_ = nullptr;
};
