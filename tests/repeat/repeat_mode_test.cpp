// The repeat switch and its turning indicator; the looping itself is the tick's.
#include "support/program_test.h"
#include "ui/picture_box.h"
#include "ui/pictures.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

namespace {

using RepeatMode = ProgramTest;

TEST_F(RepeatMode, TheSwitchTurnsTheIndicatorThroughThreeFramesAndTheStill) {
    // The check mark, the indicator's timer, its two pictures and what it shows.
    const auto state = [&] {
        const auto visible = [&](QWidget* w) { return w->isVisibleTo(window_.get()); };
        return std::tuple(window_->mnuRepeat->isChecked(), window_->tmrRepeat->isActive(),
                          visible(window_->picRepeat), visible(window_->lblRepeat),
                          window_->picRepeat->pixmap().toImage());
    };
    const auto frame = [](int n) { return RepeatStrip().toImage().copy(n * 20, 0, 20, 20); };
    const auto on = [&](int n) { return std::tuple(true, true, true, true, frame(n)); };
    window_->mnuRepeat->trigger();
    EXPECT_EQ(state(), on(0));
    for (int n : {1, 2, 3, 0, 1}) {  // the fourth step shows the still picture
        window_->tmrRepeat->timeout({});
        EXPECT_EQ(state(), on(n)) << n;
    }
    window_->mnuRepeat->trigger();
    EXPECT_EQ(state(), std::tuple(false, false, false, false, frame(1)));
    window_->mnuRepeat->trigger();  // the sequence goes on where it stopped
    window_->tmrRepeat->timeout({});
    EXPECT_EQ(state(), on(2));
}

}  // namespace
