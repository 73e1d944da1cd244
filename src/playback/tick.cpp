// The playback tick: keeps the position slider and the time displays in step
// and follows the cue points; and the position slider's drag.
#include "cues/cue_file.h"
#include "cues/cue_line.h"
#include "cues/cue_rules.h"
#include "playback/time_text.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cmath>
#include "ui/title_box.h"

namespace {

// Shows a text unless the box shows it already.
template <typename Box>
void ShowText(Box* box, const QString& text) {
    if (box->text() != text) {
        box->setText(text);
    }
}

// While playing, the next tick comes when something it shows or decides can
// change: the next whole second of the position or of the time left, the
// slider's next step, the next cue's start or the end; in between the window
// sleeps. Milliseconds, from 10 to 250 (a speed change or a seek wakes it
// sooner).
int NextTickIn(double position, double length, double rate, std::optional<double> nextCue) {
    const double left = length - position;
    const double half = position + 0.5;  // the slider rounds to the nearest second
    double distance = std::min({std::floor(position) + 1 - position, left - std::floor(left),
                                std::floor(half) + 1 - half, left});
    if (nextCue && *nextCue > position) {
        distance = std::min(distance, *nextCue - position);
    }
    const double milliseconds = std::ceil(distance / std::max(rate, 0.01) * 1000);
    return int(std::clamp(milliseconds, 10.0, 250.0));
}

}  // namespace

void frmTembrel::Timer1_Timer() {
    // While a message box shows (opened by this tick, a double-click or a
    // button), its own event loop runs the timer; the tick waits, so nothing
    // moves underneath the handler that is still running.
    if (inTick_ || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    if (currentFile.isEmpty()) {
        Timer1->stop();
        return;
    }
    inTick_ = true;
    // An MP3's length is exact once its frames are all walked; the slider
    // and the length display follow that once.
    const double length = Media().Duration().value_or(0);
    if (length != shownLength_ && media) {
        ShowLength(length);
    }
    double position = Media().CurrentPosition().value_or(0);
    H1->SetValue(static_cast<int>(RoundToEven(position)));

    UpdateLoop();
    const TickStep step = DecideTick(lstCue->AllItemData(), currentCue, position,
                                     mnuRepeat->isChecked(), cueAdvanced != 0, lastTick_);
    if (step.kind == TickStep::kLoop) {
        Seek(lstCue->ItemData(step.cue));
        position = Media().CurrentPosition().value_or(0);
    } else if (step.kind == TickStep::kFollow) {
        // The boundary counts as followed before any lyrics are loaded, so
        // that no later tick follows it again.
        currentCue = step.cue;
        cueAdvanced = 1;
        SelectCue(step.cue);
        FollowLyrics(CueTitleOf(lstCue->List(step.cue)));
    }

    lastTick_ = position;
    positionText = QString::number(position, 'g', 15);
    // The time texts change once a second; they are made only then.
    const std::array<double, 2> shown = {std::floor(position), std::floor(length - position)};
    if (shown != shownSeconds_) {
        shownSeconds_ = shown;
        ShowText(txtTLeft1, TimeText(length - position));
        ShowText(txtTUsed1, TimeText(position));
        ShowText(txtCue, txtTUsed1->text());
    }
    // Nothing can change until playback runs again, or something else wakes
    // the tick.
    if (!running_ || media == nullptr || position >= length) {
        Timer1->stop();
    } else {
        const int next = currentCue + 1;
        Timer1->start(NextTickIn(position, length, S1->Value() / 100.0,
                                 next < lstCue->ListCount()
                                     ? std::optional<double>(lstCue->ItemData(next))
                                     : std::nullopt));
    }
    inTick_ = false;
}

bool frmTembrel::Seek(double seconds) {
    lastTick_.reset();
    WakeTick();
    const bool moved = Media().SetCurrentPosition(seconds);
    emit PositionMoved();
    return moved;
}

void frmTembrel::H1_Scroll() {
    Seek(H1->Value());
    const double p = Media().CurrentPosition().value_or(0);
    if (const std::optional<int> cue = CueOfDrag(lstCue->AllItemData(), p)) {
        SelectCue(*cue);
        currentCue = *cue;
    }
}
