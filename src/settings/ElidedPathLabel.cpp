#include "ElidedPathLabel.h"

#include <QResizeEvent>

ElidedPathLabel::ElidedPathLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedPathLabel::setPath(const QString& path) {
    path_ = path;
    setToolTip(path);
    setAccessibleName(path.isEmpty() ? placeholder_ : path);
    updateText();
}

void ElidedPathLabel::setPlaceholder(const QString& text) {
    placeholder_ = text;
    updateText();
}

QSize ElidedPathLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("/…/litra")),
            QLabel::minimumSizeHint().height()};
}

void ElidedPathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    updateText();
}

void ElidedPathLabel::updateText() {
    setText(path_.isEmpty()
                ? placeholder_
                : fontMetrics().elidedText(path_, Qt::ElideMiddle, contentsRect().width()));
}
