#include "MonochromeIcon.h"
#include "StatusPresentation.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

struct PresentationCase {
    const char* name;
    LightStatus status;
    StatusPresentation expected;
};

class Presentation : public testing::TestWithParam<PresentationCase> {};

TEST_P(Presentation, SymbolAndToolTip) {
    EXPECT_EQ(presentationFor(GetParam().status), GetParam().expected);
}

const QString badge = QStringLiteral("lightbulb.min.badge.exclamationmark");

INSTANTIATE_TEST_SUITE_P(
    EveryStatus, Presentation,
    testing::Values(
        PresentationCase{"AllOn", LightStatus::allOn(), {"lightbulb.fill", "All lights: On"}},
        PresentationCase{"AllOff", LightStatus::allOff(), {"lightbulb", "All lights: Off"}},
        PresentationCase{"Mixed", LightStatus::mixed(), {"lightbulb.led", "Lights: Mixed"}},
        PresentationCase{"NoDevices", LightStatus::noDevices(), {badge, "No Litra devices found"}},
        PresentationCase{"Error",
                         LightStatus::error("Bundled litra binary missing"),
                         {badge, "Error: Bundled litra binary missing"}},
        PresentationCase{"ErrorWithEmptyMessage", LightStatus::error(""), {badge, "Error: "}},
        PresentationCase{"ErrorKeepsTrailingNewline",
                         LightStatus::error("litra exited 1: busy\n"),
                         {badge, "Error: litra exited 1: busy\n"}}),
    [](const auto& info) { return info.param.name; });

// Every symbol the tray can be asked for is drawn, and in nothing but the colour given.
class SymbolIcon : public testing::TestWithParam<const char*> {};

TEST_P(SymbolIcon, RendersInOneColourAtEverySize) {
    const QColor color(200, 40, 90);
    QIcon icon = monochromeIcon(symbolResourcePath(GetParam()), color);
    ASSERT_FALSE(icon.isNull());
    for (int side : {16, 22, 37, 64}) {
        QImage image =
            icon.pixmap(QSize(side, side), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(side, side));
        qint64 ink = 0;  // summed coverage, in units of one fully covered pixel × 255
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                ink += pixel.alpha();
                if (pixel.alpha() == 255) {
                    EXPECT_EQ(pixel.rgb(), color.rgb()) << "at " << x << "," << y;
                }
            }
        }
        // Something is drawn, and more than a speck of it.
        EXPECT_GT(ink, qint64(side) * side * 255 / 10) << side << " px";
    }
}

INSTANTIATE_TEST_SUITE_P(EverySymbol, SymbolIcon,
                         testing::Values("lightbulb.fill", "lightbulb", "lightbulb.led",
                                         "lightbulb.min.badge.exclamationmark"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

TEST(SymbolIcon, UnknownSymbolGivesNoIcon) {
    EXPECT_TRUE(monochromeIcon(symbolResourcePath("lightbulb.missing"), Qt::black).isNull());
}

TEST(SymbolIcon, SymbolsLookDifferent) {
    auto render = [](const char* name) {
        return monochromeIcon(symbolResourcePath(name), Qt::black)
            .pixmap(QSize(22, 22), 1.0)
            .toImage();
    };
    const QImage on = render("lightbulb.fill");
    const QImage off = render("lightbulb");
    const QImage mixed = render("lightbulb.led");
    const QImage badge = render("lightbulb.min.badge.exclamationmark");
    EXPECT_NE(on, off);
    EXPECT_NE(on, mixed);
    EXPECT_NE(off, mixed);
    EXPECT_NE(badge, off);
}

}  // namespace
