// The controls' wrappers, alone and in the main window under real mouse and
// key events.
#include "support/program_test.h"
#include "ui/list_box.h"
#include "ui/screen_places.h"
#include "ui/scroll_bar.h"

#include <QSignalSpy>
#include <QTest>

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

TEST(WithinScreens, KeepsReachableWindowsAndBringsBackTheOthers) {
    const QList<QRect> one = {{0, 0, 1280, 800}};
    const QList<QRect> two = {{0, 0, 1280, 800}, {1280, 0, 1024, 768}};
    const std::tuple<QRect, QList<QRect>, QRect> cases[] = {
        // The title bar can be grabbed, also partly beyond an edge: unchanged.
        {{1500, 100, 400, 500}, two, {1500, 100, 400, 500}},
        {{1216, 768, 400, 500}, one, {1216, 768, 400, 500}},
        {{-336, 0, 400, 500}, one, {-336, 0, 400, 500}},
        // Out of reach: onto the primary screen, wholly when it fits.
        {{1217, 100, 400, 500}, one, {880, 100, 400, 500}},
        {{100, 769, 400, 500}, one, {100, 300, 400, 500}},
        {{100, -1, 400, 500}, one, {100, 0, 400, 500}},
        {{5000, 100, 2000, 500}, two, {0, 100, 2000, 500}},
        // Sizes between a small window and the span of the screens.
        {{0, 0, 32767, 32767}, two, {0, 0, 2304, 800}},
        {{100, 100, 1, 1}, one, {100, 100, 128, 64}},
        {{90000, 0, 32767, 1}, {}, {90000, 0, 32767, 1}}};
    for (const auto& [outer, areas, expected] : cases) {
        EXPECT_EQ(WithinScreens(outer, areas), expected) << outer.x() << ',' << outer.y();
    }
}
