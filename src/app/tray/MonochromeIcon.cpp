#include "MonochromeIcon.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Pixels reachable from the image's border without crossing the drawing: all but its holes.
std::vector<bool> outsideOf(const QImage& shapes) {
    const int width = shapes.width();
    const int height = shapes.height();
    std::vector<bool> outside(std::size_t(width) * std::size_t(height), false);
    std::vector<QPoint> stack;
    for (int x = 0; x < width; ++x) {
        stack.insert(stack.end(), {QPoint(x, 0), QPoint(x, height - 1)});
    }
    for (int y = 0; y < height; ++y) {
        stack.insert(stack.end(), {QPoint(0, y), QPoint(width - 1, y)});
    }
    while (!stack.empty()) {
        const QPoint point = stack.back();
        stack.pop_back();
        if (!shapes.rect().contains(point)) {
            continue;
        }
        const std::size_t index = std::size_t(point.y()) * std::size_t(width) + point.x();
        if (outside[index] || qAlpha(shapes.pixel(point)) >= 128) {
            continue;
        }
        outside[index] = true;
        stack.insert(stack.end(), {point + QPoint(1, 0), point - QPoint(1, 0), point + QPoint(0, 1),
                                   point - QPoint(0, 1)});
    }
    return outside;
}

class MonochromeSvgEngine : public QIconEngine {
public:
    MonochromeSvgEngine(std::shared_ptr<QSvgRenderer> renderer,
                        std::shared_ptr<QSvgRenderer> smallRenderer, QColor color, QColor rim,
                        QString name)
        : renderer_(std::move(renderer)),
          smallRenderer_(std::move(smallRenderer)),
          color_(color),
          rim_(rim),
          name_(std::move(name)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, render(rect.size(), scale, mode));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        return render(size, 1.0, mode);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        return render(size, scale, mode);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        // Tray hosts that take a list of pixmaps pick from these and scale the nearest, which
        // blurs a one-pixel rim: every size a panel draws at, and none far above them, since
        // each is drawn and sent with every change of the icon.
        QList<QSize> sizes;
        for (int side : traySides) {
            sizes.append(QSize(side, side));
        }
        return sizes;
    }

    QIconEngine* clone() const override {
        return new MonochromeSvgEngine(renderer_, smallRenderer_, color_, rim_, name_);
    }
    QString key() const override { return QStringLiteral("GlowdeckMonochromeSvg"); }
    QString iconName() override { return name_; }
    bool isNull() override { return !renderer_->isValid(); }

private:
    // Drawn once per pixel size and mode: the tray repaints the same icon again and again.
    QPixmap render(const QSize& size, qreal scale, QIcon::Mode mode) const {
        const QSize pixels = (QSizeF(size) * scale).toSize();
        if (pixels.isEmpty()) {
            return {};
        }
        const Key key{pixels.width(), pixels.height(), mode, scale};
        auto cached = std::find_if(cache_.cbegin(), cache_.cend(),
                                   [&](const auto& entry) { return entry.first == key; });
        if (cached != cache_.cend()) {
            return cached->second;
        }
        QPixmap pixmap = draw(pixels, scale, mode);
        cache_.emplace_back(key, pixmap);
        return pixmap;
    }

    QPixmap draw(const QSize& pixels, qreal scale, QIcon::Mode mode) const {
        QImage image = tinted(pixels, color_, mode);
        if (rim_.isValid()) {
            QImage rimmed = rim(pixels, mode);
            QPainter painter(&rimmed);
            painter.drawImage(0, 0, image);
            painter.end();
            image = std::move(rimmed);
        }
        QPixmap pixmap = QPixmap::fromImage(std::move(image));
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    // The shapes grown by the rim's width, in its colour, outside them. The growth is a union of
    // shifted copies, whose edges are anti-aliased; doubling the coverage makes the first pixel
    // around the shapes solid and leaves a soft edge outside it.
    // A pixel wide at panel sizes. Above them, wide enough that where a host scales the largest
    // pixmap down to its panel (waybar takes the largest of the list, and Qt always sends one of
    // 64 px) the rim is still solid pixels there: one of 64 / 22 px would come out at 0.8 px
    // on an 18 px panel, blended with the panel and the grey into neither.
    QImage rim(const QSize& pixels, QIcon::Mode mode) const {
        const QImage shapes = tinted(pixels, Qt::black, QIcon::Normal);
        const int side = std::min(pixels.width(), pixels.height());
        const int width = side <= 24 ? 1 : qRound(side / rimWidthDivisor);
        QImage grown(pixels, QImage::Format_ARGB32_Premultiplied);
        grown.fill(Qt::transparent);
        {
            QPainter painter(&grown);
            for (int dy = -width; dy <= width; ++dy) {
                for (int dx = -width; dx <= width; ++dx) {
                    if (dx * dx + dy * dy <= width * width + 1) {
                        painter.drawImage(dx, dy, shapes);
                    }
                }
            }
        }
        const float alpha = rim_.alphaF() * (mode == QIcon::Disabled ? 0.4f : 1.0f);
        // Around the outline only: a rim in the holes would make a hollow bulb look filled.
        const std::vector<bool> outside = outsideOf(shapes);
        QImage layer(pixels, QImage::Format_ARGB32);
        for (int y = 0; y < pixels.height(); ++y) {
            for (int x = 0; x < pixels.width(); ++x) {
                const bool hole = !outside[std::size_t(y) * std::size_t(pixels.width()) + x] &&
                                  qAlpha(shapes.pixel(x, y)) < 128;
                QColor colour = rim_;
                colour.setAlphaF(hole ? 0.0f
                                      : alpha * std::min(1.0f, qAlpha(grown.pixel(x, y)) / 127.5f));
                layer.setPixelColor(x, y, colour);
            }
        }
        return layer.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    // The drawing in one colour, every covered pixel in it whatever the SVG's own colours.
    QImage tinted(const QSize& pixels, QColor color, QIcon::Mode mode) const {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        // Keep the drawing's aspect ratio, centred in the requested box.
        QSvgRenderer& renderer = rendererFor(pixels);
        QSizeF drawn = QSizeF(renderer.defaultSize()).scaled(QSizeF(pixels), Qt::KeepAspectRatio);
        QRectF target(QPointF((pixels.width() - drawn.width()) / 2.0,
                              (pixels.height() - drawn.height()) / 2.0),
                      drawn);
        renderer.render(&painter, target);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        if (mode == QIcon::Disabled) {
            color.setAlphaF(color.alphaF() * 0.4f);
        }
        painter.fillRect(image.rect(), color);
        return image;
    }

    struct Key {
        int width;
        int height;
        QIcon::Mode mode;
        qreal scale;
        friend bool operator==(const Key&, const Key&) = default;
    };

    // The drawing made for small sizes, on whole pixels there, where there is one.
    QSvgRenderer& rendererFor(const QSize& pixels) const {
        const bool small = std::min(pixels.width(), pixels.height()) < smallBelow;
        return small && smallRenderer_ ? *smallRenderer_ : *renderer_;
    }

    static constexpr int smallBelow = 20;
    static constexpr int traySides[] = {16, 18, 20, 22, 24, 28, 32, 36, 44, 48, 64};
    // Above panel sizes, a pixel of rim per 14 of icon: 5 px at 64, 1.4 px once at 18.
    static constexpr double rimWidthDivisor = 14.0;

    std::shared_ptr<QSvgRenderer> renderer_;
    std::shared_ptr<QSvgRenderer> smallRenderer_;
    QColor color_;
    QColor rim_;
    QString name_;
    mutable std::vector<std::pair<Key, QPixmap>> cache_;
};

}  // namespace

QIcon monochromeIcon(const QString& svgPath, const QColor& color, const QString& iconName,
                     const QString& smallSvgPath, const QColor& rim) {
    auto renderer = std::make_shared<QSvgRenderer>(svgPath);
    if (!renderer->isValid()) {
        return {};
    }
    auto smallRenderer =
        smallSvgPath.isEmpty() ? nullptr : std::make_shared<QSvgRenderer>(smallSvgPath);
    if (smallRenderer && !smallRenderer->isValid()) {
        smallRenderer.reset();
    }
    QIcon icon(new MonochromeSvgEngine(std::move(renderer), std::move(smallRenderer), color, rim,
                                       iconName));
    // Hosts that recolour mask icons may draw it in their own foreground colour; one with a rim
    // is two colours and no mask.
    icon.setIsMask(!rim.isValid());
    return icon;
}
