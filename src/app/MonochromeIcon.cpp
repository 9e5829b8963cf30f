#include "MonochromeIcon.h"

#include "AppIcon.h"

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

class MonochromeSvgEngine : public QIconEngine {
public:
    MonochromeSvgEngine(std::shared_ptr<QSvgRenderer> renderer,
                        std::shared_ptr<QSvgRenderer> smallRenderer, QColor color, QString name)
        : renderer_(std::move(renderer)),
          smallRenderer_(std::move(smallRenderer)),
          color_(color),
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
        // Tray hosts that take a list of pixmaps pick from these; the engine draws any size.
        QList<QSize> sizes;
        for (int side : iconSides) {
            sizes.append(QSize(side, side));
        }
        return sizes;
    }

    QIconEngine* clone() const override {
        return new MonochromeSvgEngine(renderer_, smallRenderer_, color_, name_);
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
        QPixmap pixmap = QPixmap::fromImage(tinted(pixels, color_, mode));
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
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

    std::shared_ptr<QSvgRenderer> renderer_;
    std::shared_ptr<QSvgRenderer> smallRenderer_;
    QColor color_;
    QString name_;
    mutable std::vector<std::pair<Key, QPixmap>> cache_;
};

}  // namespace

QIcon monochromeIcon(const QString& svgPath, const QColor& color, const QString& iconName,
                     const QString& smallSvgPath) {
    auto renderer = std::make_shared<QSvgRenderer>(svgPath);
    if (!renderer->isValid()) {
        return {};
    }
    auto smallRenderer =
        smallSvgPath.isEmpty() ? nullptr : std::make_shared<QSvgRenderer>(smallSvgPath);
    if (smallRenderer && !smallRenderer->isValid()) {
        smallRenderer.reset();
    }
    QIcon icon(
        new MonochromeSvgEngine(std::move(renderer), std::move(smallRenderer), color, iconName));
    // Hosts that recolour mask icons may draw it in their own foreground colour.
    icon.setIsMask(true);
    return icon;
}
