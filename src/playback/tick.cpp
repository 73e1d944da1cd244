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
#include "ui/title_box.h"

namespace {

// Shows a text unless the box shows it already (the tick runs every 10 ms).
template <typename Box>
void ShowText(Box* box, const QString& text) {
    if (box->text() != text) {
        box->setText(text);
    }
}

}  // namespace

void frmTembrel::Timer1_Timer() {
    // While a message box shows (opened by this tick, a double-click or a
    // button), its own event loop runs the timer; the tick waits, so nothing
    // moves underneath the handler that is still running.
    if (currentFile.isEmpty() || inTick_ || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    inTick_ = true;
    // An MP3's length is exact once its frames are all walked; the slider
    // and the length display follow that once.
    const double length = Media().Duration().value_or(0);
    if (length != shownLength_ && media) {
        ShowLength(length);
    }
    const double p = Media().CurrentPosition().value_or(0);
    H1->SetValue(static_cast<int>(RoundToEven(p)));

    UpdateLoop();
    const TickStep step = DecideTick(lstCue->AllItemData(), currentCue, p, mnuRepeat->isChecked(),
                                     cueAdvanced != 0, lastTick_);
    if (step.kind == TickStep::kLoop) {
        Seek(lstCue->ItemData(step.cue));
    } else if (step.kind == TickStep::kFollow) {
        // The boundary counts as followed before any lyrics are loaded, so
        // that no later tick follows it again.
        currentCue = step.cue;
        cueAdvanced = 1;
        SelectCue(step.cue);
        FollowLyrics(CueTitleOf(lstCue->List(step.cue)));
    }

    const double position = Media().CurrentPosition().value_or(0);
    lastTick_ = position;
    positionText = QString::number(position, 'g', 15);
    ShowText(txtTLeft1, TimeText(length - position));
    ShowText(txtTUsed1, TimeText(position));
    ShowText(txtCue, txtTUsed1->text());
    inTick_ = false;
}

bool frmTembrel::Seek(double seconds) {
    lastTick_.reset();
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
