#include "CapsuleSlider.h"
#include "TrackFills.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QTest>

#include <string>

namespace {

// A 222 × 22 slider (200 points of travel) over 1 to 100 at 50, whose owner writes every
// reported value back, and a log of what it reported: "start", the values, "end".
class CapsuleSliderTest : public testing::Test {
protected:
    void SetUp() override {
        widget.setValue(50.0);
        widget.setFixedWidth(222);
        QObject::connect(&widget, &CapsuleSlider::valueChangedByUser, [this](double value) {
            log += " " + QString::number(value).toStdString();
            widget.setValue(value);
        });
        QObject::connect(&widget, &CapsuleSlider::editingChanged,
                         [this](bool editing) { log += editing ? " start" : " end"; });
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }

    CapsuleSlider widget{{1.0, 100.0}, 1.0, brightnessTrackFill(), 18.0, 22.0};
    std::string log;
};

TEST_F(CapsuleSliderTest, MouseEditsAreBracketedOnce) {
    QTest::mousePress(&widget, Qt::LeftButton, {}, {111, 11});
    QTest::mouseMove(&widget, {61, 11});
    QTest::keyClick(&widget, Qt::Key_Right);  // keys wait for the drag to end
    QTest::mouseMove(&widget, {62, 11});      // still within the same step
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, {62, 11});
    EXPECT_EQ(log, " start 51 26 26 end");

    log.clear();
    QTest::mousePress(&widget, Qt::LeftButton, {}, {111, 11});
    widget.setEnabled(false);  // ends the edit; the release and a click change nothing more
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, {111, 11});
    QTest::mouseClick(&widget, Qt::LeftButton, {}, {50, 11});
    EXPECT_EQ(log, " start 51 end");

    widget.setEnabled(true);
    for (int width : {22, 0}) {  // no room to move the thumb
        log.clear();
        widget.setFixedWidth(width);
        QTest::mousePress(&widget, Qt::LeftButton, {}, {0, 11});
        QTest::mouseMove(&widget, {1, 11});
        QTest::mouseRelease(&widget, Qt::LeftButton, {}, {1, 11});
        EXPECT_EQ(log, " start end") << "width " << width;
    }
}

TEST_F(CapsuleSliderTest, EachKeyPressOrAssistiveChangeIsOneCompleteEdit) {
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End,
                        Qt::Key_Right, Qt::Key_Home}) {
        QTest::keyClick(&widget, key);
    }
    QAccessible::queryAccessibleInterface(&widget)->valueInterface()->setCurrentValue(72.4);
    EXPECT_EQ(log,
              " start 51 end start 50 end start 60 end start 50 end start 100 end start 100 end"
              " start 1 end start 72 end");
}

}  // namespace
