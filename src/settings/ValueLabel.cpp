#include "ValueLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

#include <cmath>

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

double digitCellWidth(const QFontMetricsF& metrics) {
    double widest = 0.0;
    for (char c = '0'; c <= '9'; ++c) {
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(c)));
    }
    return widest;
}

// Calls `run(text, width, isDigit)` for each digit and each run of other characters, in order.
template <typename Run>
void forEachRun(const QString& text, const QFontMetricsF& metrics, Run run) {
    const double cell = digitCellWidth(metrics);
    qsizetype start = 0;
    while (start < text.size()) {
        if (isDigit(text[start])) {
            run(text.mid(start, 1), cell, true);
            ++start;
            continue;
        }
        qsizetype end = start;
        while (end < text.size() && !isDigit(text[end])) {
            ++end;
        }
        const QString other = text.mid(start, end - start);
        run(other, metrics.horizontalAdvance(other), false);
        start = end;
    }
}

}  // namespace

ValueLabel::ValueLabel(QWidget* parent) : QLabel(parent) {}

double ValueLabel::textWidth() const {
    double width = 0.0;
    forEachRun(text(), QFontMetricsF(font()), [&](const QString&, double w, bool) { width += w; });
    return width;
}

QSize ValueLabel::sizeHint() const {
    const QMargins margins = contentsMargins();
    return {int(std::ceil(textWidth())) + margins.left() + margins.right(),
            QLabel::sizeHint().height()};
}

QSize ValueLabel::minimumSizeHint() const {
    return sizeHint();
}

void ValueLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetricsF metrics(font());
    const QRectF area = contentsRect();
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    const double width = textWidth();
    double x = area.left();
    if (align & Qt::AlignRight) {
        x = area.right() - width;
    } else if (align & Qt::AlignHCenter) {
        x = area.left() + (area.width() - width) / 2.0;
    }
    const double baseline =
        area.top() + (area.height() - metrics.height()) / 2.0 + metrics.ascent();
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    forEachRun(text(), metrics, [&](const QString& run, double w, bool digit) {
        const double inset = digit ? (w - metrics.horizontalAdvance(run)) / 2.0 : 0.0;
        painter.drawText(QPointF(x + inset, baseline), run);
        x += w;
    });
}
