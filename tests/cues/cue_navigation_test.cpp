#include "support/player_fixture.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

// Cue points at 0, 83 and 200 seconds in five minutes of recording.
class CueNavigation : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        const QByteArray cues =
            "[0]00:00:00 - Start Point\r\n[83]00:01:23 - Intro\r\n[200]00:03:20 - Solo\r\n\r\n";
        OpenWithCues(QStringLiteral("a.mp3"), 300, cues);
    }
};

}  // namespace

TEST_F(CueNavigation, ChoosingACueSeeksAndPlaysFromAnyState) {
    Play(83.2);  // follows into Intro and latches
    ASSERT_EQ(window_->cueAdvanced, 1);
    window_->cmdPause1->click();
    window_->lstCue->SetListIndex(1);
    window_->lstCue_DblClick();
    EXPECT_EQ(Engine()->CurrentPosition(), 83.0);
    EXPECT_EQ(window_->H1->Value(), 83);
    EXPECT_EQ(window_->txtCueTitle->text(), QStringLiteral("Intro"));
    EXPECT_EQ(window_->currentCue, 1);
    EXPECT_EQ(window_->cueAdvanced, 0);
    EXPECT_TRUE(Engine()->running());
    EXPECT_TRUE(window_->isPaused);  // the pause state is the Pause button's

    window_->cmdStop1->click();
    window_->lstCue_DblClick();
    EXPECT_TRUE(Engine()->running());
    Play(117.5);  // the tick follows the next boundary again
    EXPECT_EQ(window_->currentCue, 2);
}

TEST_F(CueNavigation, NextStopsAtTheLastLinePreviousRestartsTheFirst) {
    window_->lstCue->SetListIndex(2);
    window_->lstCue_DblClick();
    Play(10);
    const QStringList calls = Engine()->calls();
    window_->cmdNext1->click();
    EXPECT_EQ(Engine()->calls(), calls);
    EXPECT_EQ(window_->lstCue->ListIndex(), 2);
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));

    window_->lstCue->SetListIndex(0);
    Play(5);
    window_->cmdPrev1->click();
    EXPECT_EQ(window_->lstCue->ListIndex(), 0);
    EXPECT_EQ(Engine()->CurrentPosition(), 0.0);
    EXPECT_EQ(window_->currentCue, 0);
}

TEST_F(CueNavigation, WithoutSelectionBothButtonsChooseTheFirstLine) {
    for (QPushButton* button : {window_->cmdNext1, window_->cmdPrev1}) {
        Play(50);
        window_->lstCue->SetListIndex(-1);
        button->click();
        EXPECT_EQ(window_->lstCue->ListIndex(), 0);
        EXPECT_EQ(Engine()->CurrentPosition(), 0.0);
        EXPECT_EQ(window_->currentCue, 0);
    }
}

TEST_F(CueNavigation, DoubleClickWithoutSelectionPlaysOnFromWhereItIs) {
    Play(50);
    window_->lstCue->SetListIndex(-1);
    window_->lstCue_DblClick();
    EXPECT_EQ(window_->currentCue, -1);
    EXPECT_EQ(window_->txtCueTitle->text(), QString());
    EXPECT_EQ(Engine()->CurrentPosition(), 50.0);
    Play(33);  // the first line is the next boundary now
    EXPECT_EQ(window_->currentCue, -1);
}
