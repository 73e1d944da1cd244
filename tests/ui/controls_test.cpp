// The controls alone and in the main window under real mouse and key events.
#include "support/program_test.h"

#include <QSignalSpy>

using WindowLists = ProgramTest;

TEST(ScrollBar, BackwardsRangesRefusedValuesAndChanges) {
    ScrollBar volume(Qt::Vertical);
    volume.SetRange(0, -5000, 100, 600);
    QSignalSpy changes(&volume, &ScrollBar::Change);
    QSignalSpy scrolls(&volume, &ScrollBar::Scroll);
    volume.triggerAction(QAbstractSlider::SliderPageStepAdd);  // below the thumb at the top
    EXPECT_EQ(volume.Value(), -600);
    EXPECT_TRUE(volume.SetValue(-2500) && volume.SetValue(-2500));  // the second is no change
    EXPECT_EQ(volume.value(), 2500);                                // halfway down
    EXPECT_FALSE(volume.SetValue(1) || volume.SetValue(-5001) || volume.SetLargeChange(0));
    EXPECT_EQ(std::pair(volume.Value(), changes.count()), std::pair(-2500, qsizetype(2)));
    volume.setSliderDown(true);
    volume.setSliderPosition(2510);
    volume.setSliderPosition(2520);
    ASSERT_TRUE(volume.SetValue(-2530));  // the program sets a value during the drag
    volume.setSliderDown(false);          // the drag ends with one Change
    EXPECT_EQ(std::pair(scrolls.count(), changes.count()), std::pair(qsizetype(2), qsizetype(4)));
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
    EXPECT_EQ(std::pair(window_->currentFile, window_->currentCue),
              std::pair(PathOf("Song.mp3"), 0));
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
