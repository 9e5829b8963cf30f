#include "WindowPlacement.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const QRect primary(0, 0, 1920, 1050);          // a 1080-high screen less a panel
const QRect secondary(1920, -200, 1280, 1024);  // to the right, set higher
const QList<QRect> twoScreens{primary, secondary};
const QSize form(460, 540);

struct ReachCase {
    const char* name;
    QRect frame;
    QList<QRect> screens;
    bool reachable;
};

class Reachable : public testing::TestWithParam<ReachCase> {};

TEST_P(Reachable, TitleStripMustBeOnOneScreen) {
    EXPECT_EQ(placement::isReachable(GetParam().frame, GetParam().screens), GetParam().reachable);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, Reachable,
    testing::Values(
        ReachCase{"WhollyOnPrimary", QRect(QPoint(100, 100), form), twoScreens, true},
        ReachCase{"WhollyOnSecondary", QRect(QPoint(2000, -150), form), twoScreens, true},
        ReachCase{"BottomBelowTheScreen", QRect(QPoint(100, 1000), form), twoScreens, true},
        ReachCase{"StraddlingBothScreens", QRect(QPoint(1700, 100), form), twoScreens, true},
        ReachCase{"FarRightOfEveryScreen", QRect(QPoint(5000, 100), form), twoScreens, false},
        ReachCase{"AboveAndLeftOfEveryScreen", QRect(QPoint(-2000, -2000), form), twoScreens,
                  false},
        ReachCase{"TitleBarAboveThePrimaryTop", QRect(QPoint(100, -20), form), twoScreens, false},
        ReachCase{"TitleBarBelowThePrimaryBottom", QRect(QPoint(100, 1030), form), twoScreens,
                  false},
        ReachCase{"OnlyAnEdgeShowsOnTheLastScreen", QRect(QPoint(3150, 0), form), twoScreens,
                  false},
        ReachCase{
            "ScreenThatWasUnpluggedSinceSaving", QRect(QPoint(2000, 100), form), {primary}, false},
        ReachCase{"EmptyFrame", QRect(100, 100, 0, 0), twoScreens, false},
        ReachCase{"NoScreens", QRect(QPoint(100, 100), form), {}, false},
        ReachCase{"NarrowWindowWhollyOnScreen", QRect(1900, 100, 20, 20), {primary}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Placement, CentresOnTheGivenScreen) {
    EXPECT_EQ(placement::centred(form, primary), QPoint(730, 255));
    EXPECT_EQ(placement::centred(form, secondary), QPoint(2330, 42));
}

TEST(Placement, WindowLargerThanTheScreenKeepsItsTitleBarOnIt) {
    EXPECT_EQ(placement::centred(form, QRect(10, 20, 400, 300)), QPoint(10, 20));
}

TEST(Placement, FirstRunIsCentredOnThePrimaryScreen) {
    EXPECT_EQ(placement::initialPosition(std::nullopt, form, twoScreens, primary),
              QPoint(730, 255));
}

TEST(Placement, SavedPlaceIsUsedWhenReachable) {
    EXPECT_EQ(
        placement::initialPosition(QRect(QPoint(2100, -100), form), form, twoScreens, primary),
        QPoint(2100, -100));
}

TEST(Placement, SavedPlaceOffEveryScreenIsIgnored) {
    EXPECT_EQ(placement::initialPosition(QRect(QPoint(2100, -100), form), form, {primary}, primary),
              QPoint(730, 255));
}

TEST(Placement, ReachabilityUsesTheWindowsSizeNowNotTheSavedOne) {
    // Saved when the frame was tiny; today's frame at that place would hang off the screen.
    const QRect saved(1860, 100, 10, 10);
    EXPECT_EQ(placement::initialPosition(saved, form, {primary}, primary), QPoint(730, 255));
}

}  // namespace
