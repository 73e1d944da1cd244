#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(ScrollBar, BackwardsRangeRunsFromMinAtTheTop) {
    ScrollBar volume(Qt::Vertical);
    volume.SetRange(0, -5000, 100, 600);
    volume.resize(17, 200);
    EXPECT_EQ(volume.Value(), 0);
    EXPECT_EQ(volume.value(), 0);  // thumb at the top end

    volume.triggerAction(QAbstractSlider::SliderPageStepAdd);  // a click below the thumb
    EXPECT_EQ(volume.Value(), -600);
    volume.triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(volume.Value(), -5000);
    EXPECT_TRUE(volume.SetValue(-2500));
    EXPECT_EQ(volume.value(), 2500);  // halfway down

    ScrollBar speed(Qt::Vertical);
    speed.SetRange(200, 10, 3, 60);
    EXPECT_TRUE(speed.SetValue(100));
    speed.triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(speed.Value(), 200);
    speed.triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(speed.Value(), 10);
    speed.triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(speed.Value(), 13);
}

TEST(ScrollBar, OutOfRangeValuesAreRefusedUnreported) {
    ScrollBar volume(Qt::Vertical);
    volume.SetRange(0, -5000, 100, 600);
    ASSERT_TRUE(volume.SetValue(-100));
    QSignalSpy changes(&volume, &ScrollBar::Change);
    EXPECT_FALSE(volume.SetValue(1));
    EXPECT_FALSE(volume.SetValue(-5001));
    EXPECT_EQ(volume.Value(), -100);
    EXPECT_EQ(changes.count(), 0);

    ScrollBar position(Qt::Horizontal);
    EXPECT_FALSE(position.SetLargeChange(0));
    EXPECT_EQ(position.LargeChange(), 10);
    position.SetMax(100000);  // longer than 16 bits
    EXPECT_TRUE(position.SetValue(86400));
    EXPECT_EQ(position.Value(), 86400);
}

TEST(ScrollBar, ReportsProgramChangesAndDragSteps) {
    ScrollBar balance(Qt::Horizontal);
    balance.SetRange(-5000, 5000, 10, 100);
    QSignalSpy changes(&balance, &ScrollBar::Change);
    QSignalSpy scrolls(&balance, &ScrollBar::Scroll);

    ASSERT_TRUE(balance.SetValue(0));
    EXPECT_EQ(changes.count(), 1);
    ASSERT_TRUE(balance.SetValue(0));  // no change, no report
    EXPECT_EQ(changes.count(), 1);

    balance.setSliderDown(true);
    balance.setSliderPosition(balance.value() + 10);
    balance.setSliderPosition(balance.value() + 10);
    EXPECT_EQ(scrolls.count(), 2);
    EXPECT_EQ(balance.Value(), 20);
    ASSERT_TRUE(balance.SetValue(30));  // the program sets a value during the drag
    EXPECT_EQ(scrolls.count(), 2);
    EXPECT_EQ(changes.count(), 2);
    balance.setSliderDown(false);
    EXPECT_EQ(changes.count(), 3);  // the drag ends with one Change
    EXPECT_EQ(scrolls.count(), 2);
}

TEST(ListBox, KeepsNumbersBesideLinesAndTracksTheNewest) {
    ListBox list;
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.Text(), QString());
    EXPECT_EQ(list.NewIndex(), -1);

    list.AddItem(QStringLiteral("00:00:00 - Start"));
    list.SetItemData(list.NewIndex(), 0);
    list.AddItem(QStringLiteral("00:01:00 - Vers"));
    list.SetItemData(list.NewIndex(), 60);
    list.AddItem(QStringLiteral("00:00:30 - Intro"), 1);
    list.SetItemData(list.NewIndex(), 30);
    EXPECT_EQ(list.NewIndex(), 1);
    ASSERT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.ItemData(1), 30);
    EXPECT_EQ(list.ItemData(2), 60);
    EXPECT_EQ(list.List(2), QStringLiteral("00:01:00 - Vers"));
    list.SetItemData(0, -2147483647 - 1);
    EXPECT_EQ(list.ItemData(0), -2147483647 - 1);

    list.SetListIndex(2);
    EXPECT_EQ(list.Text(), QStringLiteral("00:01:00 - Vers"));
    list.RemoveItem(2);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.Text(), QString());
    list.SetListIndex(5);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.ItemData(7), 0);
    list.Clear();
    EXPECT_EQ(list.NewIndex(), -1);
}

TEST(ListBox, RightClickKeepsTheSelectionAndReportsTheButton) {
    ListBox list;
    list.resize(200, 200);
    for (int i = 0; i < 5; ++i) {
        list.AddItem(QStringLiteral("line %1").arg(i));
    }
    list.show();
    list.SetListIndex(0);
    QSignalSpy downs(&list, &ListBox::MouseDown);
    const QPoint third = list.visualItemRect(list.item(2)).center();

    QTest::mousePress(list.viewport(), Qt::RightButton, {}, third);
    EXPECT_EQ(list.ListIndex(), 0);
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, third);
    EXPECT_EQ(list.ListIndex(), 2);
    ASSERT_EQ(downs.count(), 2);
    EXPECT_EQ(downs.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);

    QSignalSpy doubleClicks(&list, &ListBox::DblClick);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, third);
    EXPECT_EQ(doubleClicks.count(), 1);
}
