// The tick runs only while a recording plays, and once after anything that
// may change what it shows; it shows and does exactly what a tick every
// 10 ms does. Each scenario runs twice on the fake clock, in 10 ms steps:
// once ticking only when the program's timer runs, once ticking every step.
#include "support/program_test.h"
#include "ui/list_box.h"
#include "ui/title_box.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

class IdleTick : public ProgramTest {
protected:
    // What the window shows and what the tick decided.
    QString State() const {
        return QStringList({QString::number(Engine()->CurrentPosition().value_or(-1)),
                            window_->txtTUsed1->text(), window_->txtTLeft1->text(),
                            window_->txtCue->text(), QString::number(window_->currentCue),
                            QString::number(window_->lstCue->ListIndex()),
                            window_->txtCueTitle->Title(), window_->lyricsTitle,
                            window_->positionText})
            .join(u'|');
    }

    // Runs the steps, each followed by `milliseconds` of 10 ms steps, and
    // returns the states after each; also counts the ticks that ran.
    QStringList Run(const std::vector<std::pair<std::function<void()>, int>>& steps, bool always,
                    int& ticks) {
        SetUp();
        OpenWithCues("a.mp3", 40, kFourCues);
        QStringList states;
        for (const auto& [step, milliseconds] : steps) {
            step();
            for (int elapsed = 0; elapsed < milliseconds; elapsed += 10) {
                Engine()->Advance(0.01);
                if (always || window_->Timer1->isActive()) {
                    ++ticks;
                    window_->Timer1_Timer();
                }
            }
            states << State();
        }
        return states;
    }
};

}  // namespace

TEST_F(IdleTick, ShowsAndDoesWhatATickEvery10MsDoes) {
    const auto click = [this](QPushButton* frmTembrel::*button) {
        return [this, button] { (window_.get()->*button)->click(); };
    };
    const std::vector<std::pair<std::function<void()>, int>> steps = {
        {[] {}, 12000},                                      // plays into Vers
        {click(&frmTembrel::cmdPause1), 2000},               // paused
        {[this] { DragTo(20); }, 1000},                      // onto Refrain's second while paused
        {[this] { DragTo(25); }, 1000},                      // past it
        {click(&frmTembrel::Command7), 1000},                // a jump
        {[this] { window_->mnuRepeat->trigger(); }, 500},    // repeat on while paused
        {click(&frmTembrel::cmdPause1), 12000},              // plays, loops the section
        {[this] { window_->mnuRepeat->trigger(); }, 20000},  // plays to the end
        {click(&frmTembrel::cmdCue1), 500},                  // an edit after the end
        {[this] { Choose(1); }, 3000},                       // a seek back plays on
        {click(&frmTembrel::cmdStop1), 1000},
        {click(&frmTembrel::Command3), 1000},  // nudges the selected cue while stopped
        {[this] { Choose(4); }, 500},          // the cue at the end
        {click(&frmTembrel::cmdCue1), 500},    // one more there is followed
    };
    int ticksEvery = 0, ticksNeeded = 0;
    const QStringList every = Run(steps, true, ticksEvery);
    const QStringList needed = Run(steps, false, ticksNeeded);
    EXPECT_EQ(needed, every);
    // Playing ticks 100 times a second, about 50 s of the run; otherwise a
    // tick or two after each change.
    EXPECT_LT(ticksNeeded, 3900);  // 3,780 while playing, a few after changes
    EXPECT_EQ(ticksEvery, 5600) << ticksNeeded;
    EXPECT_FALSE(window_->Timer1->isActive());
}
