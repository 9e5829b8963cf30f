#include "WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

const QRect primary(0, 0, 1920, 1050);          // a 1080-high screen less a panel
const QRect secondary(1920, -200, 1280, 1024);  // to its right, set higher
const QSize form(460, 540);

TEST(WindowPlacement, SavedPlaceOnlyWhereItsTitleStripLiesOnAScreenAtTodaysSize) {
    const auto reachable = [](QPoint at, const QList<QRect>& screens = {primary, secondary}) {
        return placement::isReachable(QRect(at, form), screens);
    };
    EXPECT_TRUE(reachable({2000, -150}));
    EXPECT_TRUE(reachable({100, 1000})) << "the bottom below the screen";
    EXPECT_TRUE(reachable({1700, 100})) << "across both screens";
    EXPECT_FALSE(reachable({100, -20})) << "the title bar above the top";
    EXPECT_FALSE(reachable({100, 1030})) << "the title bar below the bottom";
    EXPECT_FALSE(reachable({3150, 0})) << "only an edge on the last screen";
    EXPECT_FALSE(placement::isReachable(QRect(100, 100, 0, 0), {primary}));
    EXPECT_TRUE(placement::isReachable(QRect(1900, 100, 20, 20), {primary})) << "narrow";

    const auto place = [](std::optional<QRect> saved, const QList<QRect>& screens = {primary}) {
        return placement::initialPosition(saved, form, screens, primary);
    };
    const QPoint centre(730, 255);
    EXPECT_EQ(place(std::nullopt), centre);
    EXPECT_EQ(place(QRect({2100, -100}, form), {primary, secondary}), QPoint(2100, -100));
    EXPECT_EQ(place(QRect({2100, -100}, form)), centre) << "its screen unplugged since";
    EXPECT_EQ(place(QRect(1860, 100, 10, 10)), centre) << "at today's size it would hang off";
    EXPECT_EQ(placement::centred(form, QRect(10, 20, 400, 300)), QPoint(10, 20))
        << "larger than the screen: its title bar stays on it";
}

}  // namespace
