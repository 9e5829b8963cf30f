#include "MonochromeIcon.h"
#include "PanelHints.h"
#include "StatusPresentation.h"
#include "TrayIconColours.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QSignalSpy>

#include <algorithm>
#include <span>
#include <vector>

namespace {

// The tray draws the symbol of each status in the palette's text colour, at any size it asks.
TEST(StatusSymbols, EachStatusHasItsOwnDrawnInNothingButTheGivenColour) {
    const QColor colour(200, 40, 90);
    const int side = 37;
    std::vector<QImage> drawn;
    std::vector<qint64> inks;
    for (const LightStatus& status : {LightStatus::allOn(), LightStatus::allOff(),
                                      LightStatus::mixed(), LightStatus::noDevices()}) {
        const QString symbol = presentationFor(status).symbolName;
        const QImage image = monochromeIcon(symbolResourcePath(symbol), colour)
                                 .pixmap(QSize(side, side), 1.0)
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(side, side)) << symbol.toStdString();
        qint64 ink = 0;  // in fully covered pixels × 255
        int otherColour = 0;
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
        for (const QRgb pixel : std::span(pixels, side * side)) {
            ink += qAlpha(pixel);
            otherColour += qAlpha(pixel) == 255 && pixel != colour.rgb();
        }
        EXPECT_EQ(otherColour, 0) << symbol.toStdString();
        EXPECT_GT(ink, side * side * 255 / 10) << symbol.toStdString() << " is drawn";
        EXPECT_EQ(std::count(drawn.begin(), drawn.end(), image), 0) << symbol.toStdString();
        drawn.push_back(image);
        inks.push_back(ink);
        // At 16 px, drawn on whole pixels: fewer pixels half covered than fully.
        const QImage small =
            monochromeIcon(symbolResourcePath(symbol), colour, {}, smallSymbolResourcePath(symbol))
                .pixmap(QSize(16, 16), 1.0)
                .toImage()
                .convertToFormat(QImage::Format_ARGB32);
        const auto* smallPixels = reinterpret_cast<const QRgb*>(small.constBits());
        const auto alphas = std::span(smallPixels, 16 * 16);
        const auto solid = std::count_if(alphas.begin(), alphas.end(),
                                         [](QRgb pixel) { return qAlpha(pixel) == 255; });
        const auto partial = std::count_if(alphas.begin(), alphas.end(), [](QRgb pixel) {
            return qAlpha(pixel) > 0 && qAlpha(pixel) < 255;
        });
        EXPECT_LT(partial, solid) << symbol.toStdString() << ": " << partial << " of " << solid;
    }
    // "On" is the filled bulb, "off" the hollow one.
    EXPECT_GT(inks[0], inks[1] * 3 / 2);
}

// Some hosts take the largest pixmap (64 px) and scale it down to their panel's size: the rim
// must still stand out from a mid-tone panel there, where the grey ink melts into it.
TEST(StatusSymbols, RimStaysSolidWhenTheLargestPixmapIsScaledDown) {
    const QColor panel(0x2980b9);
    for (const LightStatus& status : {LightStatus::allOn(), LightStatus::allOff()}) {
        const QImage largest =
            monochromeIcon(symbolResourcePath(presentationFor(status).symbolName),
                           iconInk(TrayIconStyle::automatic, PanelTone::unknown), {}, {},
                           iconRim(TrayIconStyle::automatic, PanelTone::unknown))
                .pixmap(QSize(64, 64), 1.0)
                .toImage();
        for (int side : {16, 18}) {
            QImage shown(side, side, QImage::Format_ARGB32);
            shown.fill(panel);
            QPainter(&shown).drawImage(
                0, 0, largest.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            int standingOut = 0;
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    standingOut += contrastRatio(shown.pixelColor(x, y), panel) >= 3.0;
                }
            }
            EXPECT_GE(standingOut, side * side / 9) << side;
        }
    }
}

// The tool tip shows the text as written, never as markup.
TEST(StatusSymbols, ToolTipIsPlainText) {
    const StatusPresentation shown = presentationFor(LightStatus::error("<b>R&D</b>"), true);
    EXPECT_FALSE(shown.toolTip.contains(QStringLiteral("<b>")));
    EXPECT_FALSE(shown.toolTip.contains(QStringLiteral("&D")));
    EXPECT_EQ(QString(shown.toolTip).remove(QChar(0x2060)),
              QStringLiteral("Error: <b>R&D</b>\nChoose Refresh to try again; details in "
                             "Preferences\nCamera in use"));
}

// Qt's own light palette tells nothing of the desktop; one the desktop sets at run time does.
TEST(PanelHints, FollowThePaletteTheDesktopSets) {
    const QPalette original = QGuiApplication::palette();
    PanelHints hints;
    EXPECT_EQ(hints.clues().palette, PanelTone::unknown);
    QSignalSpy changed(&hints, &PanelHints::changed);
    for (const auto& [window, tone] : {std::pair{QColor(0x2a2e32), PanelTone::dark},
                                       std::pair{QColor(0xeff0f1), PanelTone::light}}) {
        QApplication::setPalette(QPalette(window, window));
        EXPECT_EQ(hints.clues().palette, tone) << window.name().toStdString();
    }
    EXPECT_GE(changed.count(), 2);
    QApplication::setPalette(original);
}

}  // namespace
