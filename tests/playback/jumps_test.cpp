#include "support/player_fixture.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

// Cue points at 0, 10, 20 and 30 seconds in a minute of recording.
class Jumps : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        const QByteArray cues =
            "[0]00:00:00 - A\r\n[10]00:00:10 - B\r\n[20]00:00:20 - C\r\n"
            "[30]00:00:30 - D\r\n\r\n";
        OpenWithCues(QStringLiteral("a.mp3"), 60, cues);
    }

    double Position() const { return Engine()->CurrentPosition().value_or(-1); }
};

}  // namespace

TEST_F(Jumps, TargetsBeyondEitherEndStayInTheFile) {
    Play(5);
    window_->Command5->click();
    EXPECT_EQ(Position(), 0.0);
    EXPECT_EQ(window_->H1->Value(), 0);
    window_->Command9->click();
    EXPECT_EQ(Position(), 0.0);
    EXPECT_EQ(window_->currentCue, 0);

    Engine()->SetCurrentPosition(55);
    Play(0);
    window_->Command8->click();
    EXPECT_EQ(Position(), 60.0);
    EXPECT_EQ(window_->H1->Value(), 60);
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));
}

TEST_F(Jumps, SelectionMovesByOneCuePerPress) {
    window_->Command8->click();  // 0 -> 20 crosses two cue starts
    EXPECT_EQ(Position(), 20.0);
    EXPECT_EQ(window_->currentCue, 1);
    EXPECT_EQ(window_->txtCueTitle->text(), QStringLiteral("B"));

    window_->Command5->click();  // 10: exactly B's start, B stays
    EXPECT_EQ(window_->currentCue, 1);
    window_->Command1->click();  // 8: before B's start
    EXPECT_EQ(window_->currentCue, 0);
    EXPECT_EQ(window_->lstCue->ListIndex(), 0);
    EXPECT_EQ(window_->txtCueTitle->text(), QStringLiteral("A"));
    window_->Command1->click();  // 6: still in A's section, nothing changes
    EXPECT_EQ(window_->currentCue, 0);
}

TEST_F(Jumps, LandingExactlyOnTheNextCueKeepsTheSelection) {
    Engine()->SetCurrentPosition(8);
    Play(0);
    window_->Command7->click();
    EXPECT_EQ(Position(), 10.0);
    EXPECT_EQ(window_->currentCue, 0);
    Play(0);  // the tick follows the boundary instead
    EXPECT_EQ(window_->currentCue, 1);
}

TEST_F(Jumps, NothingBeyondTheFirstAndLastCue) {
    window_->Command9->click();
    EXPECT_EQ(window_->currentCue, 0);
    window_->currentCue = 3;
    Engine()->SetCurrentPosition(40);
    Play(0);
    window_->Command8->click();
    EXPECT_EQ(window_->currentCue, 3);
}
