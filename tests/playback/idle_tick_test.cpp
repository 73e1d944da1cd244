// The tick runs only when what it shows or decides can change: a few times a
// second while a recording plays, once after anything else. Each scenario runs
// twice on the fake clock in 10 ms steps, ticking when the program's timer is
// due and ticking every step; both must show and do the same.
#include "support/program_test.h"

using IdleTick = ProgramTest;

TEST_F(IdleTick, ShowsAndDoesWhatATickEvery10MsDoes) {
    const auto click = [this](QPushButton* frmTembrel::*button) {
        return [this, button] { (window_.get()->*button)->click(); };
    };
    const auto repeat = [this] { window_->mnuRepeat->trigger(); };
    const std::pair<std::function<void()>, int> steps[] = {
        {[] {}, 12000},                          // plays into Vers
        {click(&frmTembrel::cmdPause1), 2000},   // paused
        {[this] { DragTo(20); }, 1000},          // onto Refrain's second while paused
        {[this] { DragTo(25); }, 1000},          // past it
        {click(&frmTembrel::Command7), 1000},    // a jump
        {repeat, 500},                           // repeat on while paused
        {click(&frmTembrel::cmdPause1), 12000},  // plays, loops the section
        {repeat, 20000},                         // plays to the end
        {click(&frmTembrel::cmdCue1), 500},      // an edit after the end
        {[this] { Choose(1); }, 3000},           // a seek back plays on
        {click(&frmTembrel::cmdStop1), 1000},
        {click(&frmTembrel::Command3), 1000},  // nudges the selected cue while stopped
        {[this] { Choose(4); }, 500},          // the cue at the end
        {click(&frmTembrel::cmdCue1), 500},    // one more there is followed
    };
    // What the window shows and what the tick decided after each step.
    const auto run = [&](bool always, int& ticks) {
        SetUp();
        OpenWithCues("a.mp3", 40, kFourCues);
        std::vector<std::string> states;
        int sinceTick = 0;
        for (const auto& [step, milliseconds] : steps) {
            step();
            for (int elapsed = 0; elapsed < milliseconds; elapsed += 10) {
                Engine()->Advance(0.01);
                sinceTick += 10;
                if (always ||
                    (window_->Timer1->isActive() && sinceTick >= window_->Timer1->interval())) {
                    ++ticks, sinceTick = 0;
                    window_->Timer1_Timer();
                }
            }
            states.push_back(
                QStringList({QString::number(Engine()->CurrentPosition().value_or(-1)),
                             window_->txtTUsed1->text(), window_->txtTLeft1->text(),
                             window_->txtCue->text(), QString::number(window_->currentCue),
                             QString::number(window_->lstCue->ListIndex()),
                             window_->txtCueTitle->Title(), window_->lyricsTitle,
                             // the second a cue added now would take
                             QString::number(RoundToEven(window_->positionText.toDouble()))})
                    .join(u'|')
                    .toStdString());
        }
        return states;
    };
    int ticksEvery = 0, ticksNeeded = 0;
    const auto every = run(true, ticksEvery);
    EXPECT_EQ(run(false, ticksNeeded), every);
    // While playing, a few ticks a second (each second's display, the
    // slider's half seconds, the cues); otherwise one after each change.
    EXPECT_LT(ticksNeeded, 200);
    EXPECT_EQ(ticksEvery, 5600) << ticksNeeded;
    EXPECT_FALSE(window_->Timer1->isActive());
}
