#include "CapsuleSlider.h"
#include "TrackFills.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QImage>
#include <QTest>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A 222 × 22 slider (usable width 200) over 1 to 100 whose owner writes every reported value
// back, and a log of what it reported: "start", the values, "end".
class CapsuleSliderTest : public testing::Test {
protected:
    void SetUp() override { make({1.0, 100.0}); }

    void make(slider::Range range) {
        widget = std::make_unique<CapsuleSlider>(range, 1.0, brightnessTrackFill(), 18.0, 22.0);
        widget->setValue(50.0);
        widget->setFixedWidth(222);
        QObject::connect(widget.get(), &CapsuleSlider::valueChangedByUser, widget.get(),
                         [this](double value) {
                             log.push_back(QString::number(value).toStdString());
                             widget->setValue(value);
                         });
        QObject::connect(widget.get(), &CapsuleSlider::editingChanged, widget.get(),
                         [this](bool editing) { log.push_back(editing ? "start" : "end"); });
        widget->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
    }

    static QPoint at(int x) { return {x, 11}; }

    std::unique_ptr<CapsuleSlider> widget;
    Log log;
};

TEST_F(CapsuleSliderTest, DragReportsEveryMoveAndBracketsTheEditOnce) {
    EXPECT_EQ(widget->height(), 22);
    QTest::mousePress(widget.get(), Qt::LeftButton, {}, at(111));
    EXPECT_TRUE(widget->isDragging());
    QTest::mouseMove(widget.get(), at(61));
    QTest::mouseMove(widget.get(), at(62));  // still within the same step
    QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, at(62));

    EXPECT_EQ(log, (Log{"start", "51", "26", "26", "end"}));
    EXPECT_FALSE(widget->isDragging());
    EXPECT_DOUBLE_EQ(widget->thumbRect().left(), 200.0 * 25.0 / 99.0);
}

TEST_F(CapsuleSliderTest, ClickWithoutMovementIsOneChange) {
    QTest::mouseClick(widget.get(), Qt::LeftButton, {}, at(211));
    EXPECT_EQ(log, (Log{"start", "100", "end"}));
    EXPECT_DOUBLE_EQ(widget->thumbRect().left(), 200.0);
}

TEST_F(CapsuleSliderTest, NoRoomToMoveOnlyStartsAndEndsTheEdit) {
    for (int width : {22, 0}) {
        log.clear();
        widget->setFixedWidth(width);
        QTest::mousePress(widget.get(), Qt::LeftButton, {}, at(0));
        QTest::mouseMove(widget.get(), at(1));
        QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, at(1));
        EXPECT_EQ(log, (Log{"start", "end"})) << "width " << width;
        EXPECT_DOUBLE_EQ(widget->thumbRect().left(), 0.0);
    }
}

TEST_F(CapsuleSliderTest, EmptyRangeProducesItsLowerBound) {
    make({50.0, 50.0});
    widget->setValue(10.0);
    QTest::mouseClick(widget.get(), Qt::LeftButton, {}, at(200));
    EXPECT_EQ(log, (Log{"start", "50", "end"}));
    EXPECT_DOUBLE_EQ(widget->thumbRect().left(), 0.0);
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    double from;
    const char* to;
};

class CapsuleSliderKeys : public CapsuleSliderTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(CapsuleSliderKeys, EachKeyPressIsOneCompleteEdit) {
    widget->setValue(GetParam().from);
    QTest::keyClick(widget.get(), GetParam().key);
    EXPECT_EQ(log, (Log{"start", GetParam().to, "end"}));
}

const KeyCase keyCases[] = {
    {"RightIsOneStepUp", Qt::Key_Right, 50, "51"},
    {"LeftIsOneStepDown", Qt::Key_Left, 50, "49"},
    {"PageUpIsTenSteps", Qt::Key_PageUp, 50, "60"},
    {"PageDownIsTenSteps", Qt::Key_PageDown, 50, "40"},
    {"HomeIsLower", Qt::Key_Home, 50, "1"},
    {"EndIsUpper", Qt::Key_End, 50, "100"},
    {"AtTheEndStillOneEdit", Qt::Key_Right, 100, "100"},
};

INSTANTIATE_TEST_SUITE_P(Table, CapsuleSliderKeys, testing::ValuesIn(keyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CapsuleSliderTest, KeysDuringADragDoNothing) {
    QTest::mousePress(widget.get(), Qt::LeftButton, {}, at(111));
    QTest::keyClick(widget.get(), Qt::Key_Right);
    QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, at(111));
    EXPECT_EQ(log, (Log{"start", "51", "end"}));
}

TEST_F(CapsuleSliderTest, DisablingMidDragEndsTheEditOnce) {
    QTest::mousePress(widget.get(), Qt::LeftButton, {}, at(111));
    widget->setEnabled(false);
    QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, at(111));
    QTest::mouseClick(widget.get(), Qt::LeftButton, {}, at(50));
    EXPECT_EQ(log, (Log{"start", "51", "end"}));
}

TEST_F(CapsuleSliderTest, ExposesNameValueAndRangeToAssistiveTechnology) {
    widget->setAccessibleName("Brightness");
    widget->setValueText("50%");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget.get());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Slider);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Brightness");
    EXPECT_EQ(accessible->text(QAccessible::Value), "50%");
    QAccessibleValueInterface* value = accessible->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toDouble(), 50.0);
    EXPECT_EQ(value->maximumValue().toDouble(), 100.0);
    value->setCurrentValue(72.4);
    EXPECT_EQ(log, (Log{"start", "72", "end"}));
}

// Renders at twice the pixel density and samples the track and the thumb.
TEST_F(CapsuleSliderTest, PaintsGradientTrackAndWhiteThumb) {
    widget->setValue(100.0);  // thumb at the trailing end
    QImage image(widget->size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);
    widget->render(&image, {}, {}, QWidget::RenderFlags());

    const QColor start = image.pixelColor(3, 2 * 11);  // first stop
    EXPECT_NEAR(start.redF(), 0.05, 0.02);
    EXPECT_NEAR(start.greenF(), 0.18, 0.02);
    EXPECT_NEAR(start.blueF(), 0.45, 0.02);
    const QColor middle = image.pixelColor(2 * 111, 2 * 11);  // stops 2 and 3 mixed
    EXPECT_NEAR(middle.redF(), 0.375, 0.02);
    EXPECT_NEAR(middle.greenF(), 0.615, 0.02);
    EXPECT_NEAR(middle.blueF(), 0.925, 0.02);
    EXPECT_EQ(image.pixelColor(2 * 211, 2 * 11), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(2 * 100, 0).alpha(), 0) << "above the track nothing is painted";
}

}  // namespace
