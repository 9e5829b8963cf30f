#include "CapsuleSlider.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QGraphicsEffect>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

constexpr double shadowOpacity = 0.25;
constexpr double shadowBlurRadius = 1.5;
constexpr double shadowOffsetY = 1.0;
constexpr double strokeOpacity = 0.12;
constexpr double strokeWidth = 0.5;
constexpr double focusRingGap = 1.5;
constexpr double focusRingWidth = 2.0;
// How far the thumb's shadow and focus ring can reach beyond the widget's own rectangle.
constexpr double overflowMargin = 6.0;
constexpr int pageSteps = 10;

// A disc of the thumb's size blurred with a Gaussian, as a radial gradient, so that it stays
// smooth at any device pixel ratio.
QRadialGradient discShadow(QPointF centre, double radius) {
    const double sigma = shadowBlurRadius;
    const double reach = 3.0 * sigma;
    const double outer = radius + reach;
    QRadialGradient gradient(centre, outer);
    constexpr int samples = 12;
    for (int i = 0; i <= samples; ++i) {
        const double d = -reach + 2.0 * reach * i / samples;  // distance from the disc's edge
        const double coverage = 0.5 * std::erfc(d / (sigma * std::sqrt(2.0)));
        QColor colour(0, 0, 0);
        colour.setAlphaF(float(shadowOpacity * coverage));
        gradient.setColorAt(std::max(0.0, radius + d) / outer, colour);
    }
    QColor full(0, 0, 0);
    full.setAlphaF(float(shadowOpacity));
    gradient.setColorAt(0.0, full);
    return gradient;
}

class CapsuleSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit CapsuleSliderAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Value) {
            const QString text = slider()->valueText();
            return text.isEmpty() ? QString::number(slider()->value()) : text;
        }
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant& value) override { slider()->editTo(value.toDouble()); }
    QVariant maximumValue() const override { return slider()->range().upper; }
    QVariant minimumValue() const override { return slider()->range().lower; }
    QVariant minimumStepSize() const override { return slider()->step(); }

private:
    CapsuleSlider* slider() const { return static_cast<CapsuleSlider*>(widget()); }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("CapsuleSlider") && object && object->isWidgetType()) {
        return new CapsuleSliderAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

}  // namespace

// A child widget cannot paint outside its own rectangle, but the thumb fills the slider's full
// height and its shadow falls below it. This effect paints the parts of the shadow and of the
// focus ring that lie outside the slider, so that the slider keeps the thumb's height.
class ThumbOverflowEffect : public QGraphicsEffect {
public:
    explicit ThumbOverflowEffect(CapsuleSlider* slider)
        : QGraphicsEffect(slider), slider_(slider) {}

    QRectF boundingRectFor(const QRectF& rect) const override {
        return rect.adjusted(-overflowMargin, -overflowMargin, overflowMargin, overflowMargin);
    }

protected:
    void draw(QPainter* painter) override {
        // Painted before the source: the widget's own painting leaves this painter unusable.
        QPainterPath outside;
        outside.addRect(boundingRectFor(slider_->rect()));
        QPainterPath inside;
        inside.addRect(slider_->rect());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setClipPath(outside.subtracted(inside), Qt::IntersectClip);
        painter->setOpacity(slider_->opacity());
        slider_->paintThumbShadow(*painter);
        slider_->paintFocusRing(*painter);
        painter->restore();
        drawSource(painter);
    }

private:
    CapsuleSlider* slider_;
};

CapsuleSlider::CapsuleSlider(slider::Range range, double step, QBrush trackFill, double trackHeight,
                             double thumbSize, QWidget* parent)
    : QWidget(parent),
      range_(range),
      step_(step),
      trackFill_(std::move(trackFill)),
      trackHeight_(trackHeight),
      thumbSize_(thumbSize) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(int(std::ceil(thumbSize_)));
    overflow_ = new ThumbOverflowEffect(this);
    setGraphicsEffect(overflow_);
}

CapsuleSlider::~CapsuleSlider() = default;

void CapsuleSlider::setValue(double value) {
    if (value == value_) {
        return;
    }
    value_ = value;
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, value_);
        QAccessible::updateAccessibility(&event);
    }
}

void CapsuleSlider::setRange(slider::Range range) {
    if (range.lower == range_.lower && range.upper == range_.upper) {
        return;
    }
    range_ = range;
    update();
}

void CapsuleSlider::setOpacity(double opacity) {
    if (opacity == opacity_) {
        return;
    }
    opacity_ = opacity;
    update();
}

void CapsuleSlider::setValueText(const QString& text) {
    if (text == valueText_) {
        return;
    }
    valueText_ = text;
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

double CapsuleSlider::usableWidth() const {
    return slider::usableWidth(width(), thumbSize_);
}

QRectF CapsuleSlider::trackRect() const {
    return {0.0, (height() - trackHeight_) / 2.0, double(width()), trackHeight_};
}

QRectF CapsuleSlider::thumbRect() const {
    const double offset = slider::thumbOffset(usableWidth(), slider::fraction(value_, range_));
    return {offset, (height() - thumbSize_) / 2.0, thumbSize_, thumbSize_};
}

QSize CapsuleSlider::sizeHint() const {
    return {200, int(std::ceil(thumbSize_))};
}

QSize CapsuleSlider::minimumSizeHint() const {
    const int side = int(std::ceil(thumbSize_));
    return {2 * side, side};
}

void CapsuleSlider::editTo(double value) {
    if (isDragging_) {
        return;
    }
    completeEdit(slider::snapAndBound(value, range_, step_));
}

void CapsuleSlider::beginEdit() {
    if (!isDragging_) {
        isDragging_ = true;
        emit editingChanged(true);
    }
}

void CapsuleSlider::endEdit() {
    if (isDragging_) {
        isDragging_ = false;
        emit editingChanged(false);
    }
}

void CapsuleSlider::dragTo(double x) {
    beginEdit();
    if (const auto value = slider::valueAtPosition(x, usableWidth(), thumbSize_, range_, step_)) {
        emit valueChangedByUser(*value);
    }
}

void CapsuleSlider::completeEdit(double value) {
    beginEdit();
    emit valueChangedByUser(value);
    endEdit();
}

void CapsuleSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || isDragging_) {
        event->ignore();
        return;
    }
    keyboardFocus_ = false;
    dragTo(event->position().x());
}

void CapsuleSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!isDragging_ || !(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    dragTo(event->position().x());
}

void CapsuleSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    endEdit();
}

void CapsuleSlider::keyPressEvent(QKeyEvent* event) {
    int steps = 0;
    switch (event->key()) {
        case Qt::Key_Right:
        case Qt::Key_Up:
            steps = 1;
            break;
        case Qt::Key_Left:
        case Qt::Key_Down:
            steps = -1;
            break;
        case Qt::Key_PageUp:
            steps = pageSteps;
            break;
        case Qt::Key_PageDown:
            steps = -pageSteps;
            break;
        case Qt::Key_Home:
        case Qt::Key_End:
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
    if (isDragging_) {
        return;
    }
    if (!keyboardFocus_) {
        keyboardFocus_ = true;
        update();
    }
    if (event->key() == Qt::Key_Home) {
        completeEdit(range_.lower);
    } else if (event->key() == Qt::Key_End) {
        completeEdit(range_.upper);
    } else {
        completeEdit(slider::valueAfterSteps(value_, steps, range_, step_));
    }
}

void CapsuleSlider::focusInEvent(QFocusEvent* event) {
    keyboardFocus_ = event->reason() != Qt::MouseFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void CapsuleSlider::focusOutEvent(QFocusEvent* event) {
    keyboardFocus_ = false;
    update();
    QWidget::focusOutEvent(event);
}

void CapsuleSlider::changeEvent(QEvent* event) {
    // A disabled widget receives no release, so an edit in progress ends here.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        endEdit();
    }
    QWidget::changeEvent(event);
}

void CapsuleSlider::hideEvent(QHideEvent* event) {
    endEdit();
    QWidget::hideEvent(event);
}

bool CapsuleSlider::showsFocusRing() const {
    return keyboardFocus_ && hasFocus();
}

void CapsuleSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (opacity_ >= 1.0) {
        paintContent(painter);
        return;
    }
    // Dimmed as one layer, so that the track does not show through the thumb.
    const qreal ratio = devicePixelRatioF();
    QImage layer(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        paintContent(layerPainter);
    }
    painter.setOpacity(opacity_);
    painter.drawImage(QPointF(0, 0), layer);
}

void CapsuleSlider::paintContent(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF track = trackRect();
    QPainterPath capsule;
    capsule.addRoundedRect(track, track.height() / 2.0, track.height() / 2.0);
    painter.fillPath(capsule, trackFill_);

    paintThumbShadow(painter);

    const QRectF thumb = thumbRect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(thumb);
    QColor strokeColour(0, 0, 0);
    strokeColour.setAlphaF(float(strokeOpacity));
    QPen stroke(strokeColour, strokeWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    stroke.setMiterLimit(10.0);
    painter.setPen(stroke);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(thumb);

    paintFocusRing(painter);
}

void CapsuleSlider::paintThumbShadow(QPainter& painter) const {
    const QRectF thumb = thumbRect();
    const double radius = thumb.width() / 2.0;
    const QPointF centre = thumb.center() + QPointF(0.0, shadowOffsetY);
    const double outer = radius + 3.0 * shadowBlurRadius;
    painter.setPen(Qt::NoPen);
    painter.setBrush(discShadow(centre, radius));
    painter.drawEllipse(centre, outer, outer);
}

void CapsuleSlider::paintFocusRing(QPainter& painter) const {
    if (!showsFocusRing()) {
        return;
    }
    const QRectF ring =
        thumbRect().adjusted(-focusRingGap, -focusRingGap, focusRingGap, focusRingGap);
    QColor colour = palette().color(QPalette::Highlight);
    colour.setAlphaF(0.8f);
    painter.setPen(QPen(colour, focusRingWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(ring);
}
