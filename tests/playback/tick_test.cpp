#include "playback/time_text.h"
#include "support/player_fixture.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

TEST(TimeText, CutsToWholeSecondsWithinItsRange) {
    const std::pair<double, const char*> cases[] = {
        {0.99, "00:00:00"},    {59.9, "00:00:59"},  {3600, "01:00:00"},   {86399, "23:59:59"},
        {90000, "24:59:59"},   {-5, "00:00:00"},    {1, "00:00:01"},      {86400, "24:00:00"},
        {89999.9, "24:59:59"}, {1e300, "24:59:59"}, {12330.4, "03:25:30"}};
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(TimeText(seconds), QString::fromLatin1(text)) << seconds;
    }
}

TEST(TimeText, RoundsHalvesToEven) {
    EXPECT_EQ(RoundToEven(2.5), 2);
    EXPECT_EQ(RoundToEven(3.5), 4);
    EXPECT_EQ(RoundToEven(-2.5), -2);
    EXPECT_EQ(RoundToEven(12330.4), 12330);
    EXPECT_EQ(RoundToEven(1e300), 0);
}

namespace {

// A recording of ten minutes with cue points at 0, 10, 20 and 30 seconds.
class Tick : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        const QByteArray cues =
            "[0]00:00:00 - Start Point\r\n[10]00:00:10 - Vers\r\n"
            "[20]00:00:20\r\n[30]00:00:30 - Refrain\r\n\r\n";
        OpenWithCues(QStringLiteral("a.mp3"), 600, cues);
    }
};

}  // namespace

TEST_F(Tick, FollowsTheNextCueOnceUntilPlayAgain) {
    Play(9.99);
    EXPECT_EQ(window_->currentCue, 0);
    EXPECT_EQ(window_->txtTUsed1->text(), QStringLiteral("00:00:09"));
    EXPECT_EQ(window_->txtTLeft1->text(), QStringLiteral("00:09:50"));
    EXPECT_EQ(window_->txtCue->text(), QStringLiteral("00:00:09"));
    EXPECT_EQ(window_->H1->Value(), 10);

    Play(0.02);
    EXPECT_EQ(window_->currentCue, 1);
    EXPECT_EQ(window_->cueAdvanced, 1);
    EXPECT_EQ(window_->lstCue->ListIndex(), 1);
    EXPECT_EQ(window_->txtCueTitle->text(), QStringLiteral("Vers"));
    EXPECT_EQ(window_->positionText.toDouble(), Engine()->CurrentPosition().value());

    Play(10);  // the latch holds at the next boundary
    EXPECT_EQ(window_->currentCue, 1);
    window_->cmdPlay1_Click();
    Play(10.5);
    EXPECT_EQ(window_->currentCue, 1);
    EXPECT_EQ(window_->cueAdvanced, 1);
}

TEST_F(Tick, ALineWithoutTitleEmptiesTheTitleBox) {
    window_->currentCue = 1;
    Engine()->SetCurrentPosition(20.2);
    Play(0);
    EXPECT_EQ(window_->currentCue, 2);
    EXPECT_EQ(window_->txtCueTitle->text(), QString());
}

TEST_F(Tick, SeekingPastABoundaryDoesNotFollowIt) {
    Engine()->SetCurrentPosition(11);
    Play(0);
    EXPECT_EQ(window_->currentCue, 0);
    EXPECT_EQ(window_->cueAdvanced, 0);
}

TEST_F(Tick, RepeatJumpsBackToTheCurrentCueWhateverTheLatch) {
    window_->mnuRepeat->setChecked(true);
    Play(10.3);
    EXPECT_DOUBLE_EQ(Engine()->CurrentPosition().value(), 0.0);
    EXPECT_EQ(window_->currentCue, 0);
    EXPECT_EQ(window_->txtTUsed1->text(), QStringLiteral("00:00:00"));
    window_->cueAdvanced = 1;
    Play(10.5);
    EXPECT_DOUBLE_EQ(Engine()->CurrentPosition().value(), 0.0);
}

TEST_F(Tick, RepeatInTheLastSectionPlaysToTheEnd) {
    window_->mnuRepeat->setChecked(true);
    window_->currentCue = 3;
    Engine()->SetCurrentPosition(590);
    Play(20);
    EXPECT_DOUBLE_EQ(Engine()->CurrentPosition().value(), 600.0);
    EXPECT_EQ(window_->txtTLeft1->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(window_->txtTUsed1->text(), QStringLiteral("00:10:00"));
    Play(5);  // at the end nothing moves
    EXPECT_EQ(window_->H1->Value(), 600);
}

TEST_F(Tick, DraggingSelectsTheLastCueStartingStrictlyBefore) {
    window_->H1->SetValue(20);
    window_->H1_Scroll();
    EXPECT_DOUBLE_EQ(Engine()->CurrentPosition().value(), 20.0);
    EXPECT_EQ(window_->currentCue, 1);
    EXPECT_EQ(window_->txtCueTitle->text(), QStringLiteral("Vers"));
    EXPECT_EQ(window_->cueAdvanced, 0);
    // The next tick then follows the cue it landed on.
    Play(0);
    EXPECT_EQ(window_->currentCue, 2);

    window_->H1->SetValue(45);
    window_->H1_Scroll();
    EXPECT_EQ(window_->currentCue, 3);
    window_->H1->SetValue(0);
    window_->H1_Scroll();
    EXPECT_EQ(window_->currentCue, 3);
    EXPECT_EQ(window_->lstCue->ListIndex(), 3);
}

TEST_F(Tick, DraggingInRepeatModeOntoACueJumpsBackAtTheNextTick) {
    window_->mnuRepeat->setChecked(true);
    window_->H1->SetValue(30);
    window_->H1_Scroll();
    EXPECT_EQ(window_->currentCue, 2);
    Play(0);
    EXPECT_DOUBLE_EQ(Engine()->CurrentPosition().value(), 20.0);
}
