// The controls' wrappers, alone and in the main window under real mouse and
// key events.
#include "support/program_test.h"

#include <QSignalSpy>

using WindowLists = ProgramTest;

TEST(ScrollBar, BackwardsRangesRefusedValuesAndChanges) {
    ScrollBar volume(Qt::Vertical);
    volume.SetRange(0, -5000, 100, 600);
    QSignalSpy changes(&volume, &ScrollBar::Change);
    QSignalSpy scrolls(&volume, &ScrollBar::Scroll);
    EXPECT_EQ(volume.value(), 0);                              // thumb at the top end
    volume.triggerAction(QAbstractSlider::SliderPageStepAdd);  // a click below the thumb
    EXPECT_EQ(volume.Value(), -600);
    EXPECT_TRUE(volume.SetValue(-2500) && volume.SetValue(-2500));  // the second is no change
    EXPECT_EQ(volume.value(), 2500);                                // halfway down
    EXPECT_FALSE(volume.SetValue(1) || volume.SetValue(-5001));
    EXPECT_EQ(volume.Value(), -2500);
    EXPECT_EQ(changes.count(), 2);
    volume.setSliderDown(true);
    volume.setSliderPosition(2510);
    volume.setSliderPosition(2520);
    ASSERT_TRUE(volume.SetValue(-2530));  // the program sets a value during the drag
    EXPECT_EQ(scrolls.count(), 2);
    EXPECT_EQ(changes.count(), 3);
    volume.setSliderDown(false);
    EXPECT_EQ(changes.count(), 4);  // the drag ends with one Change
    EXPECT_FALSE(volume.SetLargeChange(0));
}

// Only a left double-click opens a file or plays a cue; a right or middle one
// does nothing, and Ctrl never clears the selection.
TEST_F(WindowLists, OnlyALeftDoubleClickActsAndCtrlKeepsTheSelection) {
    OpenWithCues(QStringLiteral("Song.mp3"), 300, kFourCues);
    AddRecording(QStringLiteral("Other.mp3"), 100);
    ListBox* cues = window_->lstCue;
    ListBox* files = window_->lstPath;
    const auto at = [](ListBox* list, int row) {
        return list->visualItemRect(list->item(row)).center();
    };
    const int other = Lines(files).indexOf(QStringLiteral("Other.mp3"));
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseDClick(files->viewport(), button, {}, at(files, other));
        QTest::mouseDClick(cues->viewport(), button, {}, at(cues, 1));
    }
    EXPECT_EQ(control_->created, 1);
    EXPECT_EQ(window_->currentCue, 0);
    cues->SetListIndex(1);
    QTest::mouseClick(cues->viewport(), Qt::LeftButton, Qt::ControlModifier, at(cues, 1));
    EXPECT_EQ(cues->ListIndex(), 1);
    cues->setFocus();
    QTest::keyClick(cues, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(cues->ListIndex(), 1);
    Choose(1);
    EXPECT_EQ(Engine()->CurrentPosition(), 10.0);
    Open("Other.mp3");
    EXPECT_EQ(window_->currentFile, PathOf("Other.mp3"));
}
