#include "support/player_fixture.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QPushButton>

namespace {

class Transport : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        AddRecording(QStringLiteral("a.mp3"), 600);
    }

    // The engine calls made since the open.
    QStringList CallsAfterOpen() const { return Engine()->calls().mid(callsAtOpen_); }

    void OpenAndPlay() {
        Open(QStringLiteral("a.mp3"));
        ASSERT_NE(Engine(), nullptr);
        callsAtOpen_ = static_cast<int>(Engine()->calls().size());
    }

    int callsAtOpen_ = 0;
};

}  // namespace

TEST_F(Transport, WithoutAFileNothingHappens) {
    QWidget* focus = window_->focusWidget();
    window_->cmdPlay1->click();
    window_->cmdPause1->click();
    window_->cmdStop1->click();
    EXPECT_FALSE(window_->isPaused);
    EXPECT_EQ(window_->focusWidget(), focus);
    window_->V1->SetValue(-300);
    window_->S1->SetValue(50);
    EXPECT_EQ(window_->V1->Value(), -300);
    EXPECT_EQ(control_->created, 0);
}

TEST_F(Transport, PauseFlipsAndPlayRestartsFromTheBeginning) {
    OpenAndPlay();
    Play(30);
    window_->cmdPause1->click();
    EXPECT_TRUE(window_->isPaused);
    EXPECT_FALSE(Engine()->running());
    window_->cmdPlay1->click();  // restarts at 0, still "paused"
    EXPECT_TRUE(window_->isPaused);
    EXPECT_EQ(Engine()->CurrentPosition(), 0.0);
    window_->cmdPause1->click();  // a Run with no audible change
    EXPECT_FALSE(window_->isPaused);
    window_->cmdPause1->click();
    EXPECT_TRUE(window_->isPaused);
    EXPECT_EQ(CallsAfterOpen(),
              QStringList({"Pause", "SetRate(1)", "Run", "SetCurrentPosition(0)", "Run", "Pause"}));
}

TEST_F(Transport, StopWhilePausedThenPauseRunsFromZero) {
    OpenAndPlay();
    Play(30);
    window_->cmdPause1->click();
    window_->cmdStop1->click();
    EXPECT_EQ(window_->H1->Value(), 0);
    EXPECT_TRUE(window_->isPaused);
    window_->cmdPause1->click();
    EXPECT_TRUE(Engine()->running());
    EXPECT_EQ(Engine()->CurrentPosition(), 0.0);
    EXPECT_EQ(CallsAfterOpen(), QStringList({"Pause", "Stop", "SetCurrentPosition(0)", "Run"}));
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));
}

TEST_F(Transport, PauseFlipsEvenWhenTheEngineRefuses) {
    OpenAndPlay();
    control_->failing = {"Pause", "Run"};
    window_->cmdPause1->click();
    EXPECT_TRUE(window_->isPaused);
    window_->cmdPause1->click();
    EXPECT_FALSE(window_->isPaused);
}

TEST_F(Transport, SlidersSendTheirValuesAtOnce) {
    OpenAndPlay();
    window_->S1->triggerAction(QAbstractSlider::SliderToMaximum);  // bottom end
    window_->S1->triggerAction(QAbstractSlider::SliderToMinimum);  // top end
    window_->V1->triggerAction(QAbstractSlider::SliderToMaximum);
    window_->B1->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(CallsAfterOpen(),
              QStringList({"SetRate(0.1)", "SetRate(2)", "SetVolume(-5000)", "SetBalance(-5000)"}));
    EXPECT_DOUBLE_EQ(Engine()->rate(), 2.0);
}

TEST_F(Transport, ResetsSendOnlyWhenTheValueChanges) {
    OpenAndPlay();
    window_->cmdReset1->click();
    window_->cmdBReset1->click();
    EXPECT_TRUE(CallsAfterOpen().isEmpty());
    window_->B1->SetValue(300);
    window_->S1->SetValue(150);
    window_->cmdBReset1->click();
    window_->cmdReset1->click();
    EXPECT_EQ(CallsAfterOpen(),
              QStringList({"SetBalance(300)", "SetRate(1.5)", "SetBalance(0)", "SetRate(1)"}));
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));
}

TEST_F(Transport, ANewFileGetsTheVolumeAndRateButNotTheBalance) {
    window_->B1->SetValue(-2000);
    window_->S1->SetValue(80);
    OpenAndPlay();
    EXPECT_EQ(Engine()->balance(), 0);
    EXPECT_DOUBLE_EQ(Engine()->rate(), 0.8);
}
