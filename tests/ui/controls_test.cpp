#include "support/player_fixture.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {
using WindowLists = PlayerTest;
}

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

// Through the main window with real mouse events: only a left double-click
// opens a file or plays a cue; a right or middle one does nothing, and Ctrl
// never clears the selection.
TEST_F(WindowLists, OnlyALeftDoubleClickActsAndCtrlKeepsTheSelection) {
    OpenWithCues(QStringLiteral("Song.mp3"), 300,
                 "[0]00:00:00 - Start Point\r\n[10]00:00:10 - Vers\r\n");
    AddRecording(QStringLiteral("Other.mp3"), 100);
    ListBox* cues = window_->lstCue;
    ListBox* files = window_->lstPath;
    const auto at = [](ListBox* list, int row) {
        return list->visualItemRect(list->item(row)).center();
    };
    const int other = Lines(files).indexOf(QStringLiteral("Other.mp3"));
    files->SetListIndex(Lines(files).indexOf(QStringLiteral("Song.mp3")));
    const int engines = control_->created;
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseDClick(files->viewport(), button, {}, at(files, other));
        QTest::mouseDClick(cues->viewport(), button, {}, at(cues, 1));
    }
    EXPECT_EQ(control_->created, engines);
    EXPECT_EQ(window_->currentCue, 0);

    cues->SetListIndex(1);
    QTest::mouseClick(cues->viewport(), Qt::LeftButton, Qt::ControlModifier, at(cues, 1));
    EXPECT_EQ(cues->ListIndex(), 1);
    cues->setFocus();
    QTest::keyClick(cues, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(cues->ListIndex(), 1);

    QTest::mouseDClick(cues->viewport(), Qt::LeftButton, {}, at(cues, 1));
    EXPECT_EQ(window_->currentCue, 1);
    EXPECT_EQ(Engine()->CurrentPosition(), 10.0);
    QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at(files, other));
    EXPECT_EQ(window_->currentFile, PathOf(QStringLiteral("Other.mp3")));
}
